// Brimmark's profile engine against the Windows profile API, run under Wine:
// what each reads from the same tricky files, and what each reads back after
// the other has written. Every call of the API goes into one run of the
// Windows program, since starting Wine is the slow part.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

#include "TestSupport.h"
#include "WineProfile.h"
#include "core/Profile.h"
#include "platform/posix/IconvCodePage.h"
#include "platform/posix/PosixFileSystem.h"

namespace brim::conformance {
namespace {

using test::cp932;

constexpr unsigned kLargeBuffer = 1u << 16;
// The buffer the program reads with on Windows.
constexpr unsigned kProgramBuffer = 1024;

std::string utf16le(std::string_view ascii) {
    std::string out = "\xFF\xFE";
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string repeated(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// A file, and one key looked up in it. Section and key are UTF-8; the file's
// bytes are as given.
struct ReadCase {
    std::string name;
    std::string bytes;
    std::string section = "InternetShortcut";
    std::string key = "URL";
    unsigned bufferSize = kLargeBuffer;
};

std::vector<ReadCase> readCases() {
    const std::string s = "[InternetShortcut]\r\n";
    const std::string longAscii = repeated("0123456789abcdef", 94);  // 1504 bytes
    const std::string longJapanese = cp932(repeated("表", 600));     // 1200 bytes
    // UTF-16LE of "[InternetShortcut]" CRLF "URL=" 日本 CRLF.
    const std::string utf16Japanese = utf16le("[InternetShortcut]\r\nURL=") +
                                      std::string("\xE5\x65\x2C\x67", 4) +
                                      std::string("\r\0\n\0", 4);
    return {
        {"CRLF", s + "URL=http://a/\r\n"},
        {"LF only", "[InternetShortcut]\nURL=http://a/\n"},
        {"CR only", "[InternetShortcut]\rURL=http://a/\r"},
        {"no final line break", s + "URL=http://a/"},
        {"blanks around key and value", s + "  URL  =  http://a/  \r\n"},
        {"tabs around key and value", s + "\tURL\t=\thttp://a/\t\r\n"},
        {"blanks inside brackets", "[ InternetShortcut ]\r\nURL=http://a/\r\n"},
        {"blanks before header", "  \t[InternetShortcut]\r\nURL=http://a/\r\n"},
        {"text after header", "[InternetShortcut] junk\r\nURL=http://a/\r\n"},
        {"key in other case", s + "url=http://a/\r\n"},
        {"section in other case", "[INTERNETSHORTCUT]\r\nURL=http://a/\r\n"},
        {"duplicate keys", s + "URL=first\r\nURL=second\r\n"},
        {"duplicate sections, key in second", s + "X=1\r\n" + s + "URL=second\r\n"},
        {"duplicate sections, key in both", s + "URL=first\r\n" + s + "URL=second\r\n"},
        {"section after another", "[Other]\r\nURL=no\r\n" + s + "URL=yes\r\n"},
        {"key only in another section", "[Other]\r\nURL=no\r\n" + s + "X=1\r\n"},
        {"double quotes", s + "URL=\"http://a/\"\r\n"},
        {"single quotes", s + "URL='two words'\r\n"},
        {"quotes and blanks outside", s + "URL=  \"x y\"  \r\n"},
        {"blanks inside quotes", s + "URL=\" x \"\r\n"},
        {"empty quotes", s + "URL=\"\"\r\n"},
        {"mismatched quotes", s + "URL=\"x'\r\n"},
        {"opening quote only", s + "URL=\"x\r\n"},
        {"quotes inside", s + "URL=a \"b\" c\r\n"},
        {"doubled quotes", s + "URL=\"\"x\"\"\r\n"},
        {"empty value", s + "URL=\r\n"},
        {"missing key", s + "IconIndex=0\r\n"},
        {"missing section", "[Other]\r\nURL=http://a/\r\n"},
        {"empty file", ""},
        {"comment before key", s + ";URL=commented\r\nURL=real\r\n"},
        {"semicolon key", s + ";URL=commented\r\n", "InternetShortcut", ";URL"},
        {"semicolon in value", s + "URL=a;b ; c\r\n"},
        {"equals in value", s + "URL=a=b=c\r\n"},
        {"blank lines between", s + "\r\n   \r\n\t\r\nURL=http://a/\r\n"},
        {"bare key line", s + "URL\r\nURL=after\r\n"},
        {"key with blank inside", s + "my key = v\r\n", "InternetShortcut", "my key"},
        {"header without bracket", "[InternetShortcut\r\nURL=http://a/\r\n"},
        {"header with two brackets", "[InternetShortcut]]\r\nURL=http://a/\r\n"},
        {"header with two brackets, asked with one", "[InternetShortcut]]\r\nURL=http://a/\r\n",
         "InternetShortcut]", "URL"},
        {"value with 5C trail byte", s + cp932("URL=表示ソ\r\n")},
        {"value ending in 5C trail byte", s + cp932("URL=ソ\r\n")},
        {"section with 5C trail byte", cp932("[表ソ]\r\n値=表\r\n"), "表ソ", "値"},
        {"section with 5D trail byte", cp932("[ゾ従]\r\nk=v\r\n"), "ゾ従", "k"},
        {"section ending in 5D trail byte", cp932("[江]\r\nk=望\r\n"), "江", "k"},
        {"Japanese key", s + cp932("表示=値\r\n"), "InternetShortcut", "表示"},
        {"full-width key in other case", s + cp932("ＵＲＬ=w\r\n"), "InternetShortcut", "ｕｒｌ"},
        {"Greek key in other case", s + cp932("Α=w\r\n"), "InternetShortcut", "α"},
        {"undefined code-page byte", s + "URL=a" + '\x80' + "b\r\n"},
        {"lone lead byte at line end", s + "URL=a\x95\r\nX=1\r\n"},
        {"NUL in value", s + std::string("URL=ab\0cd\r\n", 11)},
        {"NUL in line before", s + std::string("X=\0\r\nURL=after\r\n", 16)},
        {"UTF-8 mark", "\xEF\xBB\xBF" + s + "URL=http://a/\r\n"},
        // Wine honours the mark, as Brimmark does; Windows itself is said to
        // read such a file in the code page, which cannot be checked here.
        {"UTF-8 mark, Japanese value", "\xEF\xBB\xBF" + s + "URL=日本語\r\n"},
        {"UTF-8 without mark, Japanese value", s + "URL=日本語\r\n"},
        {"UTF-16LE mark", utf16le("[InternetShortcut]\r\nURL=http://a/\r\n")},
        {"UTF-16LE mark, Japanese value", utf16Japanese},
        {"long value", s + "URL=" + longAscii + "\r\n"},
        {"long value, program's buffer", s + "URL=" + longAscii + "\r\n", "InternetShortcut", "URL",
         kProgramBuffer},
        {"long Japanese value, program's buffer", s + "URL=" + longJapanese + "\r\n",
         "InternetShortcut", "URL", kProgramBuffer},
    };
}

// Where Brimmark reads differently from the API, on purpose.
const std::map<std::string, std::string>& readDifferences() {
    static const std::string undecodable =
        "a byte the code page cannot decode reads as U+FFFD, so it shows; "
        "the API substitutes the code page's default character";
    static const std::string limit =
        "the API gives at most 1023 bytes into the program's 1024-byte buffer; "
        "Brimmark has no such limit";
    static const std::map<std::string, std::string> list = {
        {"semicolon key",
         "the API takes a comment line for a key named with its ';'; Brimmark skips "
         "comment lines, so that a commented-out key is never read"},
        {"bare key line",
         "the API takes a line without '=' for the key with an empty value; Brimmark "
         "skips it and reads the real key below"},
        {"header with two brackets",
         "the API ends a section name at the line's last ']', Brimmark at the first "
         "one that is a character of its own"},
        {"header with two brackets, asked with one", "as \"header with two brackets\""},
        {"lone lead byte at line end", undecodable},
        {"UTF-8 without mark, Japanese value",
         "Brimmark reads a file without a mark that is valid UTF-8 but not valid in the "
         "code page as UTF-8; the API reads it in the code page"},
        {"long value, program's buffer", limit},
        {"long Japanese value, program's buffer", limit},
    };
    return list;
}

// A value written by one side and read back by the other, into each target.
struct Value {
    std::string name;
    std::string text;  // UTF-8
};

std::vector<Value> values() {
    return {
        {"address", "http://example.com/path?q=1&r=2#frag"},
        {"empty", ""},
        {"words", "two words"},
        {"Japanese", "日本語の表示とソース"},
        {"ends in 5C trail byte", "ソ"},
        {"ends in 5D trail byte", "ゾ"},
        {"semicolons", "a;b ; c"},
        {"equals signs", "a=b=c"},
        {"brackets", "[not a section]"},
        {"double-quoted", "\"quoted\""},
        {"single-quoted", "'single'"},
        {"mismatched quotes", "\"x'"},
        {"opening quote only", "\"only"},
        {"quotes inside", "say \"hi\" twice"},
        {"quoted blanks", "\" a \""},
        {"blanks around", " padded "},
        {"tab inside", "a\tb"},
        {"backslashes", "C:\\Temp\\a.txt"},
        {"symbols", "!#$%&()*+,-./:<>?@^_`{|}~"},
        {"long", repeated("0123456789abcdef", 94)},
        {"long Japanese", repeated("表", 600)},
    };
}

// A key that a write of another key must leave as it was.
struct KeptKey {
    std::string section;
    std::string key;
    std::string value;
};

struct Target {
    enum class Form { CodePage, Utf16le, Utf8Mark };
    std::string name;
    std::string initial;  // UTF-8 text of the file before the write; empty: no file
    std::string section;
    std::string key;
    std::vector<KeptKey> kept;
    Form form = Form::CodePage;

    // The file's bytes before the write.
    std::string bytes() const {
        switch (form) {
            case Form::Utf16le:
                return utf16le(initial);  // ASCII only
            case Form::Utf8Mark:
                return "\xEF\xBB\xBF" + initial;
            case Form::CodePage:
                break;
        }
        return cp932(initial);
    }
};

std::vector<Target> targets() {
    return {
        {"new file", "", "InternetShortcut", "URL", {}},
        {"existing key",
         "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=0\r\n[Other]\r\nx=1\r\n",
         "InternetShortcut",
         "URL",
         {{"InternetShortcut", "IconIndex", "0"}, {"Other", "x", "1"}}},
        {"new section in LF file",
         "[InternetShortcut]\nURL=http://a/\n",
         "CommentKey",
         "Words",
         {{"InternetShortcut", "URL", "http://a/"}}},
        {"after comments and blank lines",
         "; made by hand\r\n[InternetShortcut]\r\nURL=http://a/\r\n\r\n[CommentKey]\r\n"
         "; old words\r\nWords=old\r\n\r\n[Other]\r\ny=2\r\n",
         "CommentKey",
         "Words",
         {{"InternetShortcut", "URL", "http://a/"}, {"Other", "y", "2"}}},
        {"Japanese names",
         "[表ソ]\r\n値=古い\r\n[ゾ]\r\n値=残る\r\n",
         "表ソ",
         "値",
         {{"ゾ", "値", "残る"}}},
        {"UTF-16LE file",
         "[InternetShortcut]\r\nURL=http://old/\r\n[Other]\r\nx=1\r\n",
         "InternetShortcut",
         "URL",
         {{"Other", "x", "1"}},
         Target::Form::Utf16le},
        {"UTF-8 file with mark",
         "[InternetShortcut]\r\nURL=http://old/\r\n[Other]\r\nx=日本\r\n",
         "InternetShortcut",
         "URL",
         {{"Other", "x", "日本"}},
         Target::Form::Utf8Mark},
    };
}

// Values, and files, whose writing does not come back as written, by the
// value's or the target's name, with the reason.
const std::map<std::string, std::string>& brimmarkWriteDifferences() {
    static const std::map<std::string, std::string> list = {
        {"blanks around",
         "blanks around a value are no part of it, for the API as for Brimmark's own reading"},
    };
    return list;
}
const std::map<std::string, std::string>& apiWriteDifferences() {
    static const std::string quotes =
        "the API writes the value as it is and drops its outer quotation marks on "
        "reading, and so does Brimmark: both read the same, neither what was written";
    static const std::map<std::string, std::string> list = {
        {"double-quoted", quotes},
        {"single-quoted", quotes},
        {"quoted blanks", quotes},
        {"blanks around", "blanks around a value are no part of it, for the API as for Brimmark"},
    };
    return list;
}

std::string hexOf(std::string_view bytes) {
    std::string out;
    char buf[4];
    for (const char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(c));
        out += buf;
    }
    return out.size() > 120 ? out.substr(0, 120) + "…" : out;
}

// UTF-8 text made readable for messages and the table.
std::string shown(std::string_view text, std::size_t limit = 40) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (out.size() >= limit) return "«" + out + "»…" + std::to_string(text.size()) + " bytes";
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return "«" + out + "»";
}

std::string fileName(const char* prefix, std::size_t i, std::size_t j = 0) {
    return std::string(prefix) + "-" + std::to_string(i) + "-" + std::to_string(j) + ".ini";
}

class ProfileConformance : public testing::Test {
  protected:
    // Where the answers to one written file's calls are in the batch.
    struct Written {
        std::size_t value = 0;
        std::size_t target = 0;
        std::string file;
        std::size_t at = 0;  // first answer
        core::WriteStatus brimmarkWrite;
    };

    struct Shared {
        test::TempDir dir;
        test::TestFolders folders{dir};
        platform::PosixFileSystem fs;
        platform::IconvCodePage cp{"CP932"};
        core::Profile profile{fs, cp, folders};
        std::unique_ptr<WineProfile> wine;
        std::string startError;
        std::vector<ApiCall> calls;
        std::vector<ApiResult> results;
        std::vector<Written>
            byBrimmark;              // Brimmark writes; the API reads the key, then the kept keys
        std::vector<Written> byApi;  // the API writes, then reads the key back
        double seconds = 0;

        void apiRead(const std::string& file, std::string_view section, std::string_view key,
                     unsigned bufferSize = kLargeBuffer) {
            calls.push_back(
                {ApiCall::Kind::Read, file, cp932(section), cp932(key), "", bufferSize});
        }
    };

    static void SetUpTestSuite() {
        const auto start = std::chrono::steady_clock::now();
        shared_ = new Shared;
        auto& s = *shared_;
        try {
            s.wine = std::make_unique<WineProfile>(s.dir.path());
            for (std::size_t i = 0; const auto& c : readCases()) {
                const std::string file = s.dir / fileName("read", i++);
                test::writeFile(file, c.bytes);
                s.apiRead(file, c.section, c.key, c.bufferSize);
            }
            const auto vs = values();
            const auto ts = targets();
            for (std::size_t i = 0; i < vs.size(); ++i) {
                for (std::size_t j = 0; j < ts.size(); ++j) {
                    Written w{i, j, s.dir / fileName("brimmark", i, j), s.calls.size(), {}};
                    if (!ts[j].initial.empty()) test::writeFile(w.file, ts[j].bytes());
                    w.brimmarkWrite = s.profile.write(w.file, ts[j].section, ts[j].key, vs[i].text);
                    s.apiRead(w.file, ts[j].section, ts[j].key);
                    for (const auto& k : ts[j].kept)
                        s.apiRead(w.file, k.section, k.key);
                    s.byBrimmark.push_back(std::move(w));
                }
            }
            for (std::size_t i = 0; i < vs.size(); ++i) {
                for (std::size_t j = 0; j < ts.size(); ++j) {
                    Written w{i, j, s.dir / fileName("api", i, j), s.calls.size(), {}};
                    if (!ts[j].initial.empty()) test::writeFile(w.file, ts[j].bytes());
                    s.calls.push_back({ApiCall::Kind::Write, w.file, cp932(ts[j].section),
                                       cp932(ts[j].key), cp932(vs[i].text)});
                    s.apiRead(w.file, ts[j].section, ts[j].key);
                    s.byApi.push_back(std::move(w));
                }
            }
            s.results = s.wine->run(s.calls);
        } catch (const std::exception& e) {
            s.startError = e.what();
        }
        s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (s.wine) {
            std::printf("Wine: prefix and server %.1f s, %zu calls in one run %.1f s, all %.1f s\n",
                        s.wine->startSeconds(), s.calls.size(), s.wine->runSeconds(), s.seconds);
        }
    }

    static void TearDownTestSuite() {
        delete shared_;
        shared_ = nullptr;
    }

    void SetUp() override {
        if (!shared_->startError.empty()) GTEST_FAIL() << shared_->startError;
    }

    static Shared& shared() { return *shared_; }
    static std::string apiText(const ApiResult& r) { return shared_->cp.decode(r.bytes); }

  private:
    static Shared* shared_;
};

ProfileConformance::Shared* ProfileConformance::shared_ = nullptr;

TEST_F(ProfileConformance, CallsRunInTheJapaneseCodePage) {
    // Everything below compares code page 932; another code page would make
    // every Japanese case fail for the wrong reason.
    EXPECT_EQ(shared().wine->codePage(), 932u)
        << "Wine did not take code page 932 from the ja_JP.UTF-8 locale";
}

TEST_F(ProfileConformance, ReadsTheCorpusAsTheApiDoes) {
    auto& s = shared();
    const auto cases = readCases();
    ASSERT_GE(cases.size(), 40u);
    std::printf("%-44s %-28s %-28s %s\n", "case", "Windows API (Wine)", "Brimmark", "result");
    std::size_t agreeing = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        const ApiResult& r = s.results[i];
        ASSERT_TRUE(r.parsed);
        const std::string api = apiText(r);
        const std::string ours = s.profile.read(s.dir / fileName("read", i), c.section, c.key);
        const bool listed = readDifferences().contains(c.name);
        std::printf("%-44s %-28s %-28s %s\n", c.name.c_str(), shown(api, 24).c_str(),
                    shown(ours, 24).c_str(),
                    api == ours ? "same"
                    : listed    ? "differs (listed)"
                                : "DIFFERS");
        agreeing += api == ours;
        if (listed) {
            EXPECT_NE(api, ours) << "now reads as the API does; take it off the list";
        } else {
            EXPECT_EQ(api, ours) << "API bytes " << hexOf(r.bytes) << ", Brimmark bytes "
                                 << hexOf(ours);
        }
    }
    std::printf("%zu of %zu cases read the same\n", agreeing, cases.size());
}

// Round trips against a list of expected differences: a round trip whose value
// or file is listed may differ; a listed name that never differs is stale.
class RoundTrips {
  public:
    explicit RoundTrips(const std::map<std::string, std::string>& listed) : listed_(listed) {}

    // Notes whether the round trip of `value` into `target` differed; true
    // when it has to come back whole.
    bool mustAgree(const std::string& value, const std::string& target, bool differs) {
        const bool valueListed = listed_.contains(value);
        const bool targetListed = listed_.contains(target);
        // A difference speaks for an entry only where no other entry explains it.
        if (differs && !targetListed) differed_[value] = true;
        if (differs && !valueListed) differed_[target] = true;
        if (differs && valueListed && targetListed) differed_[value] = differed_[target] = true;
        return !valueListed && !targetListed;
    }

    void expectNothingStale() {
        for (const auto& [name, reason] : listed_) {
            EXPECT_TRUE(differed_[name])
                << name << " now reads back unchanged; take it off the list";
        }
    }

  private:
    const std::map<std::string, std::string>& listed_;
    std::map<std::string, bool> differed_;
};

TEST_F(ProfileConformance, WhatBrimmarkWritesTheApiReadsBack) {
    auto& s = shared();
    const auto vs = values();
    const auto ts = targets();
    RoundTrips trips(brimmarkWriteDifferences());
    for (const auto& w : s.byBrimmark) {
        const auto& value = vs[w.value].text;
        const auto& target = ts[w.target];
        SCOPED_TRACE(vs[w.value].name + " into " + target.name);
        ASSERT_TRUE(w.brimmarkWrite) << core::describe(w.brimmarkWrite);
        const std::string api = apiText(s.results[w.at]);
        const std::string ours = s.profile.read(w.file, target.section, target.key);
        // The file's other keys, as the API reads them after the write.
        std::vector<std::string> kept;
        bool keptChanged = false;
        for (std::size_t k = 0; k < target.kept.size(); ++k) {
            kept.push_back(apiText(s.results[w.at + 1 + k]));
            keptChanged = keptChanged || kept.back() != target.kept[k].value;
        }
        if (!trips.mustAgree(vs[w.value].name, target.name,
                             api != value || ours != value || keptChanged)) {
            continue;
        }
        EXPECT_EQ(ours, value) << "Brimmark does not read back its own writing";
        EXPECT_EQ(api, value) << "the API reads " << hexOf(s.results[w.at].bytes);
        for (std::size_t k = 0; k < target.kept.size(); ++k) {
            EXPECT_EQ(kept[k], target.kept[k].value)
                << target.kept[k].section << "/" << target.kept[k].key << " in "
                << hexOf(test::readFile(w.file));
        }
    }
    trips.expectNothingStale();
}

TEST_F(ProfileConformance, WhatTheApiWritesBrimmarkReadsBack) {
    auto& s = shared();
    const auto vs = values();
    const auto ts = targets();
    RoundTrips trips(apiWriteDifferences());
    for (const auto& w : s.byApi) {
        const auto& value = vs[w.value].text;
        const auto& target = ts[w.target];
        SCOPED_TRACE(vs[w.value].name + " into " + target.name);
        ASSERT_TRUE(s.results[w.at].parsed && s.results[w.at].ok)
            << "the API's write failed, error " << s.results[w.at].error;
        const std::string api = apiText(s.results[w.at + 1]);
        const std::string ours = s.profile.read(w.file, target.section, target.key);
        std::vector<std::string> kept;
        bool keptChanged = false;
        for (const auto& k : target.kept) {
            kept.push_back(s.profile.read(w.file, k.section, k.key));
            keptChanged = keptChanged || kept.back() != k.value;
        }
        if (!trips.mustAgree(vs[w.value].name, target.name,
                             ours != value || ours != api || keptChanged)) {
            continue;
        }
        EXPECT_EQ(ours, value) << "file: " << hexOf(test::readFile(w.file));
        EXPECT_EQ(api, value) << "the API does not read back its own writing";
        for (std::size_t k = 0; k < target.kept.size(); ++k) {
            EXPECT_EQ(kept[k], target.kept[k].value)
                << target.kept[k].section << "/" << target.kept[k].key << " in "
                << hexOf(test::readFile(w.file));
        }
    }
    trips.expectNothingStale();
}

}  // namespace
}  // namespace brim::conformance

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (const auto why = brim::conformance::WineProfile::unavailable()) {
        std::printf(
            "Skipped: the comparison with the Windows profile API needs Wine and "
            "mingw-w64; %s.\n",
            why->c_str());
        return 77;  // ctest's SKIP_RETURN_CODE
    }
    return RUN_ALL_TESTS();
}
