#include <gtest/gtest.h>

#include "CatalogFixture.h"
#include "TestSupport.h"
#include "core/Search.h"

#include <random>

#include "text/Utf8.h"

namespace brim::core {
namespace {

using Keys = std::vector<std::string>;

TEST(SplitKeywords, Rules) {
    const struct {
        std::string text;
        Keys keys;
    } cases[] = {
        {"news sport", {"news", "sport"}},
        {"  news   sport  ", {"news", "sport"}},
        {"\"daily news\" sport", {"daily news", "sport"}},
        {"\"daily news", {"daily news"}},
        {"\"\"", {}},
        {"   ", {}},
        {"", {}},
        {"a \"\" b", {"a", "b"}},
        {"ab\"cd", {"ab\"cd"}},
        {"\"x\"y z", {"x", "y", "z"}},
        {"全角\u3000空白", {"全角\u3000空白"}},
        {"tab\there", {"tab\there"}},
        {"news news", {"news", "news"}},
        {"\"\\News\\\"", {"\\News\\"}},
        {"x \"", {"x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitKeywords(c.text), c.keys) << c.text;
}

TEST(SplitKeywords, KeepsTheFirstThirty) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "k" + std::to_string(i) + " ";
    const Keys keys = SplitKeywords(text);
    ASSERT_EQ(keys.size(), kMaxSearchKeys);
    EXPECT_EQ(keys.back(), "k29");
}

TEST(ContainsKeyword, FoldsCaseByThePlatformMapping) {
    const test::SystemCaseMapper m;
    const struct {
        std::string text, keyword;
        bool fold, found;
    } cases[] = {
        {"Daily NEWS", "news", true, true},
        {"Daily NEWS", "news", false, false},
        {"Daily News", "News", false, true},
        {"ＡＢＣ", "ａｂｃ", true, true},
        {"ＡＢＣ", "abc", true, false},
        {"カタカナ", "かたかな", true, false},
        {"abc", "", false, true},
        {"", "", false, false},
        {"é", "É", true, true},
        {"x", "xy", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ContainsKeyword(c.text, c.keyword, c.fold, m), c.found)
            << c.text << " / " << c.keyword;
    }
}

// Upper-cases character by character, as the fast path must agree with.
std::string upperOneByOne(std::string_view s, const platform::CaseMapper& m) {
    std::string out;
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t start = pos;
        const char32_t c = utf8::next(s, pos);
        if (c == utf8::kInvalid) {
            out.append(s.substr(start, pos - start));
        } else {
            utf8::append(out, m.upper(c));
        }
    }
    return out;
}

TEST(UpperCase, AgreesWithOneCharacterAtATimeAtEveryPlace) {
    const test::SystemCaseMapper m;
    // Pieces of every kind: ASCII runs, letters whose capital is shorter
    // (U+017F) or longer (U+0250), kana, ideographs, cut and stray bytes.
    const std::vector<std::string> pieces = {
        "a",        "Z",        "abcdefgh",         "{`@[", "\x7f",
        "\xC3\xA9", "\xC5\xBF", "\xC9\x90",         "あ",   "漢",
        "ⓐ",        "ꙁ",        "\xE3\x81",         "\xE9", "\xFF",
        "\x80",     "ｚ",       "\xF0\x9F\x98\x80", " "};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int n = static_cast<int>(random() % 12);
        for (int j = 0; j < n; ++j)
            text += pieces[random() % pieces.size()];
        ASSERT_EQ(UpperCase(text, m), upperOneByOne(text, m)) << utf8::visible(text);
    }
}

TEST(UpperCase, KanaAndIdeographsHaveNoCapitals) {
    // The fold copies U+3000 to U+9FFF as they are: the platform agrees.
    const test::SystemCaseMapper m;
    for (char32_t c = 0x3000; c <= 0x9FFF; ++c)
        ASSERT_EQ(m.upper(c), c) << static_cast<unsigned>(c);
}

class SearchTest : public test::CatalogFixture {
  protected:
    Search search{catalog, mapper};

    void SetUp() override {
        test::writeShortcut(root + "Daily News.url", "http://news.example/daily", "朝 ニュース");
        test::writeShortcut(root + "sport.url", "http://sport.example/", "Sport results");
        test::writeShortcut(root + "News/Sport/match.url", "http://m.example/", "");
        test::writeShortcut(root + "News/today.url", "http://t.example/", "today");
        test::writeShortcut(root + "Old/News/archive.url", "http://a.example/news", "old");
        test::writeShortcut(root + "Other/x.URL", "http://news.example/daily/more", "x");
    }

    std::vector<std::string> find(const std::string& text, SearchOptions o = {}) {
        std::vector<std::string> names;
        EXPECT_TRUE(search.SearchDir(root, SplitKeywords(text), o, [&](FavoriteItem&& r) {
            names.push_back(r.folder + r.name + "|" + r.comment);
        }));
        return names;
    }
    using Rows = std::vector<std::string>;
};

TEST_F(SearchTest, OrAndAnd) {
    EXPECT_EQ(find("sport"), (Rows{"\\sport.url|Sport results", "\\News\\Sport\\match.url|"}));
    SearchOptions all;
    all.anyKeyword = false;
    EXPECT_EQ(find("news sport", all), (Rows{"\\News\\Sport\\match.url|"}));
    EXPECT_EQ(find("daily news").size(), 5u);  // all but sport.url
    EXPECT_EQ(find("朝 results"),
              (Rows{"\\Daily News.url|朝 ニュース", "\\sport.url|Sport results"}));
}

TEST_F(SearchTest, NoKeywordsFindNothing) {
    EXPECT_EQ(find("   "), Rows{});
    EXPECT_EQ(find("\"\""), Rows{});
}

TEST_F(SearchTest, FieldSwitchesAndGrayedBoxes) {
    SearchOptions o;
    o.fields = {0, 0, 0, 1};
    EXPECT_EQ(find("sport", o), (Rows{"\\sport.url|Sport results"}));
    o.fields = {2, 1, 2, 2};  // grayed counts as off
    EXPECT_EQ(find("news", o), (Rows{"\\Daily News.url|朝 ニュース"}));
    o.fields = {0, 0, 0, 0};
    EXPECT_EQ(find("news", o), Rows{});
    o.fields = {0, 1, 0, 0};
    EXPECT_EQ(find("url", o).size(), 6u);  // ".URL" too, with case folding
    o.foldCase = false;
    EXPECT_EQ(find("url", o).size(), 5u);
}

TEST_F(SearchTest, QuotedFolderLabelFindsTheSubtreeAndOtherFoldersHoldingIt) {
    SearchOptions o;
    o.fields = {1, 0, 0, 0};
    EXPECT_EQ(find("\"\\News\\\"", o),
              (Rows{"\\Old\\News\\archive.url|old", "\\News\\today.url|today",
                    "\\News\\Sport\\match.url|"}));
    EXPECT_EQ(find("\\", o).size(), 6u);
}

TEST_F(SearchTest, PhraseMatchesAcrossTheAddressAndTheComment) {
    EXPECT_EQ(find("\"daily 朝\""), (Rows{"\\Daily News.url|朝 ニュース"}));
}

TEST_F(SearchTest, SameAddress) {
    std::vector<std::string> names;
    const auto collect = [&](FavoriteItem&& r) { names.push_back(r.name); };
    ASSERT_TRUE(search.Same("http://news.example/daily", {}, collect));
    EXPECT_EQ(names, (std::vector<std::string>{"Daily News.url", "x.URL"}));
    names.clear();
    ASSERT_TRUE(search.Same("", {}, collect));  // an empty box lists everything
    EXPECT_EQ(names.size(), 6u);
    names.clear();
    ASSERT_TRUE(search.Same("Sport", {}, collect));  // the address field alone
    EXPECT_EQ(names, std::vector<std::string>{"sport.url"});
}

TEST_F(SearchTest, StoredOptions) {
    StoredSearchOptions s = LoadSearchOptions(profile);
    EXPECT_EQ(s.checks, (std::array<int, 5>{1, 1, 1, 1, 1}));
    EXPECT_TRUE(s.option1);
    s.checks[4] = 0;
    s.option1 = false;
    ASSERT_TRUE(SaveSearchOptions(profile, s));
    EXPECT_EQ(profile.ReadSetting("SerchCond", "check5"), "10");
    EXPECT_EQ(profile.ReadSetting("SerchCond", "check1"), "11");
    EXPECT_EQ(profile.ReadSetting("SerchCond", "option1"), "10");
    const std::string file = test::readFile(folders.settingsFile());
    EXPECT_NE(file.find("check5= 10\r\noption1=10\r\n"), std::string::npos);
    EXPECT_EQ(LoadSearchOptions(profile).checks, s.checks);
    EXPECT_FALSE(LoadSearchOptions(profile).option1);

    ASSERT_TRUE(profile.WriteSetting("SerchCond", "option1", "7"));
    ASSERT_TRUE(profile.WriteSetting("SerchCond", "check2", " 12"));
    ASSERT_TRUE(profile.WriteSetting("SerchCond", "check3", " 5"));
    const StoredSearchOptions odd = LoadSearchOptions(profile);
    EXPECT_TRUE(odd.option1);
    EXPECT_EQ(odd.checks[1], 2);
    EXPECT_EQ(odd.checks[2], 1);
    EXPECT_EQ(odd.options().fields.folder, 2);
}

}  // namespace
}  // namespace brim::core
