#include <gtest/gtest.h>

#include "core/Duplicates.h"

namespace brim::core {
namespace {

TEST(DuplicateKey, Rules) {
    const struct {
        std::string url, key;
    } cases[] = {
        // Scheme and host in lower case, default port dropped, empty path "/".
        {"HtTpS://Example.COM:0443", "https://example.com/"},
        {"http://[FE80::1]:80/a", "http://[fe80::1]/a"},
        {"http://example.com:8080/a", "http://example.com:8080/a"},
        {"https://example.com:80/a", "https://example.com:80/a"},
        // Unreserved characters decoded, other encodings in upper case, what
        // an address cannot hold encoded; never anything encoded twice.
        {"http://example.com/%7Eme/%41b%2e%5F?q=%61%7e", "http://example.com/~me/Ab._?q=a~"},
        {"http://example.com/a%2fb?x=%3d", "http://example.com/a%2Fb?x=%3D"},
        {"http://example.com/あ b?q=日", "http://example.com/%E3%81%82%20b?q=%E6%97%A5"},
        {"http://example.com/a%252F%zz%4", "http://example.com/a%252F%zz%4"},
        // Dot segments removed once the encoded ones are decoded.
        {"http://example.com/a/./b/../c", "http://example.com/a/c"},
        {"http://example.com/a/%2E%2E/../b", "http://example.com/b"},
        // No fragment; an empty query is none.
        {"http://example.com/a?b=1#top", "http://example.com/a?b=1"},
        {"http://example.com/a?#", "http://example.com/a"},
        // International hosts in ASCII, non-transitional: ß stays.
        {"http://Bücher.Example/", "http://xn--bcher-kva.example/"},
        {"http://b%C3%BCcher.example/", "http://xn--bcher-kva.example/"},
        {"http://ＥＸＡＭＰＬＥ.com/", "http://example.com/"},
        {"http://faß.de/", "http://xn--fa-hia.de/"},
        // Tracking parameters dropped, also when spelled encoded.
        {"http://example.com/a?utm_source=n&id=7&utm_term#x", "http://example.com/a?id=7"},
        {"http://example.com/a?fbclid=1&gclid=2&dclid=3&mc_eid=4&mc_cid=5&igshid=6&yclid=7",
         "http://example.com/a"},
        {"http://example.com/a?utm%5Fsource=1&x=2", "http://example.com/a?x=2"},
        // What a server may read stays.
        {"http://example.com/a?UTM_SOURCE=1&utm=2&my_gclid=3&q=utm_source",
         "http://example.com/a?UTM_SOURCE=1&utm=2&my_gclid=3&q=utm_source"},
        {"http://example.com/Page/?b=2&a=1&&c=a+b", "http://example.com/Page/?b=2&a=1&&c=a+b"},
        {"http://me:Pw@example.com/a!$&'()*+,;=:@", "http://me:Pw@example.com/a!$&'()*+,;=:@"},
        // Other schemes with an authority as http; the rest as written.
        {"FTP://FTP.Example.com:21/pub/../a", "ftp://ftp.example.com/a"},
        {"Foo://Host/X#y", "foo://host/X"},
        {"mailto:Someone@Example.com", "mailto:Someone@Example.com"},
        {"javascript:alert('#')", "javascript:alert('#')"},
        {"file:///C:/a/../b.html", "file:///C:/a/../b.html"},
        // Invalid addresses as written.
        {"example.com/a", "example.com/a"},
        {"http://exa mple.com/", "http://exa mple.com/"},
        {"http://example.com:99999/", "http://example.com:99999/"},
        {"http://%zz/", "http://%zz/"},
        {"http://-bad-.例え.jp/", "http://-bad-.例え.jp/"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DuplicateKey(c.url), c.key) << c.url;
        EXPECT_EQ(DuplicateKey(c.key), c.key) << "a key is its own key";
    }
}

FavoriteItem row(std::string name, std::string url) {
    return {name, "\\", {}, std::move(url), "/f/" + name};
}

TEST(GroupDuplicates, InTheOrderOfTheirFirstFavorite) {
    const auto groups = GroupDuplicates({
        row("a", "http://b.example/x"),
        row("b", "http://a.example/"),
        row("c", "HTTP://A.example:80#top"),
        row("d", "http://b.example/x?utm_source=feed"),
        row("e", "http://b.example/X"),
        row("f", ""),
        row("g", ""),
        row("h", "mailto:me@example.com"),
        row("i", "mailto:me@example.com"),
        row("j", "http://a.example/?fbclid=1"),
    });
    std::string shown;
    for (const auto& g : groups) {
        shown += g.address + ":";
        for (const auto& f : g.favorites)
            shown += " " + f.name;
        shown += "\n";
    }
    EXPECT_EQ(shown,
              "http://b.example/x: a d\nhttp://a.example/: b c j\nmailto:me@example.com: h i\n");
    EXPECT_EQ(groups.at(1).favorites.at(1), row("c", "HTTP://A.example:80#top"));
    EXPECT_TRUE(GroupDuplicates({row("a", "http://x/"), row("b", "http://y/")}).empty());
}

}  // namespace
}  // namespace brim::core
