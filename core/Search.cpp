#include "core/Search.h"

#include <cstdint>
#include <cstring>

#include "core/Numbers.h"
#include "core/RowCache.h"
#include "core/Settings.h"
#include "text/Utf8.h"

namespace brim::core {

std::vector<std::string> SplitKeywords(std::string_view t) {
    std::vector<std::string> keys;
    std::size_t p = 0;
    bool more = true;  // false once a keyword ran to the end of the text
    while (more && p < t.size() && keys.size() < kMaxSearchKeys) {
        std::string_view k;
        if (t[p] == ' ') {
            ++p;
        } else if (t[p] == '"' && p + 1 < t.size() && t[p + 1] == '"') {
            p += 2;
        } else if (t[p] == '"') {
            const auto q = t.find('"', p + 1);
            if (q == std::string_view::npos) {
                k = t.substr(p + 1);
                more = false;
            } else {
                k = t.substr(p + 1, q - p - 1);
                p = q + 1;
            }
        } else {
            const auto q = t.find(' ', p);
            if (q == std::string_view::npos) {
                k = t.substr(p);
                more = false;
            } else {
                k = t.substr(p, q - p);
                p = q + 1;
            }
        }
        if (!k.empty()) keys.emplace_back(k);
    }
    return keys;
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = kOnes * 0x80;

// Eight ASCII bytes with their small letters made capitals: no byte of them
// carries into the next, as every one is below 0x80.
std::uint64_t upperAscii8(std::uint64_t w) {
    const std::uint64_t fromA = w + kOnes * (0x80 - 'a');
    const std::uint64_t pastZ = w + kOnes * (0x80 - 'z' - 1);
    return w - (((fromA & ~pastZ) & kHighBits) >> 2);
}

}  // namespace

void UpperCaseInto(std::string_view s, const platform::CaseMapper& mapper, std::string& out) {
    // Written through a pointer into room made beforehand: ASCII keeps its
    // length, and the room is widened only where a capital is longer.
    out.resize(s.size());
    char* o = out.data();
    std::size_t at = 0;
    const auto room = [&](std::size_t need, std::size_t pos) {
        if (at + need + (s.size() - pos) > out.size()) {
            out.resize(at + need + (s.size() - pos) + 16);
            o = out.data();
        }
    };
    for (std::size_t pos = 0; pos < s.size();) {
        std::uint64_t w;
        if (pos + 8 <= s.size() && (std::memcpy(&w, s.data() + pos, 8), (w & kHighBits) == 0)) {
            w = upperAscii8(w);  // eight ASCII bytes at one step
            std::memcpy(o + at, &w, 8);
            pos += 8, at += 8;
            continue;
        }
        const auto c = static_cast<unsigned char>(s[pos]);
        if (c < 0x80) {
            o[at++] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            ++pos;
            continue;
        }
        // U+3000 to U+9FFF (kana, CJK ideographs and their signs) have no
        // capitals: copied without asking the mapper.
        if (c >= 0xE3 && c <= 0xE9 && pos + 2 < s.size() &&
            utf8::isTrail(static_cast<unsigned char>(s[pos + 1])) &&
            utf8::isTrail(static_cast<unsigned char>(s[pos + 2]))) {
            std::memcpy(o + at, s.data() + pos, 3);
            pos += 3, at += 3;
            continue;
        }
        const std::size_t start = pos;
        const char32_t cp = utf8::next(s, pos);
        if (cp == utf8::kInvalid) {
            // Malformed bytes stay as they are.
            std::memcpy(o + at, s.data() + start, pos - start);
            at += pos - start;
            continue;
        }
        char bytes[4];
        const std::size_t n = utf8::encode(mapper.upper(cp), bytes);
        room(n, pos);
        std::memcpy(o + at, bytes, n);
        at += n;
    }
    out.resize(at);
}

std::string UpperCase(std::string_view s, const platform::CaseMapper& mapper) {
    std::string out;
    UpperCaseInto(s, mapper, out);
    return out;
}

bool ContainsKeyword(std::string_view text, std::string_view keyword, bool foldCase,
                     const platform::CaseMapper& mapper) {
    if (text.empty()) return false;
    if (!foldCase) return text.find(keyword) != std::string_view::npos;
    return UpperCase(text, mapper).find(UpperCase(keyword, mapper)) != std::string::npos;
}

namespace {
constexpr std::string_view kOptionsSection = "SerchCond";
}

SearchOptions StoredSearchOptions::options() const {
    SearchOptions o;
    o.foldCase = checks[0] == 1;
    o.fields = {checks[1], checks[2], checks[3], checks[4]};
    o.anyKeyword = option1;
    return o;
}

StoredSearchOptions LoadSearchOptions(const Profile& profile, StoredSearchOptions current) {
    for (std::size_t i = 0; i < current.checks.size(); ++i) {
        const auto v = settings::CheckBoxFromSetting(
            profile.ReadSetting(kOptionsSection, "check" + std::to_string(i + 1)));
        if (v) current.checks[i] = *v;
    }
    const auto o =
        settings::WholeNumberFromSetting(profile.ReadSetting(kOptionsSection, "option1"));
    if (o == 11) current.option1 = true;
    if (o == 10) current.option1 = false;
    return current;
}

WriteStatus SaveSearchOptions(const Profile& profile, const StoredSearchOptions& stored) {
    WriteStatus first;
    const auto keep = [&](WriteStatus s) {
        if (first && !s) first = s;
    };
    for (std::size_t i = 0; i < stored.checks.size(); ++i) {
        keep(profile.WriteSetting(kOptionsSection, "check" + std::to_string(i + 1),
                                  settings::CheckBoxSetting(stored.checks[i])));
    }
    keep(profile.WriteSetting(kOptionsSection, "option1", stored.option1 ? "11" : "10"));
    return first;
}

bool Search::SearchDir(const std::string& folder, const std::vector<std::string>& keywords,
                       const SearchOptions& options, const RowSink& add, const ProblemSink& problem,
                       const WalkControl& control) const {
    const SearchFields& f = options.fields;
    const bool useFolder = f.folder == 1, useName = f.name == 1;
    const bool useAddress = f.address == 1, useComment = f.comment == 1;
    // Keywords are folded once per search, the match text once per file.
    std::vector<std::string> keys;
    for (const auto& k : keywords)
        keys.push_back(options.foldCase ? UpperCase(k, mapper_) : k);

    const auto work = [&](const std::string& path, const std::string& label,
                          const FolderContents& contents, std::vector<FavoriteItem>& rows) {
        if (keys.empty()) return;
        RowCache::Folder files(catalog_.cache(), catalog_.profile(), path, contents);
        // Buffers of one folder, reused from file to file.
        std::string bytes, text, folded;
        for (const auto& file : contents.files) {
            if (control.stopped()) return;
            const std::string& name = file.shown;
            // One read serves the address, the comment field and the row.
            ShortcutValues values = files.read(file, bytes);
            text.clear();
            if (useFolder) text.append(label).append(" ");
            if (useName) text.append(name).append(" ");
            if (useAddress) text.append(values.url).append(" ");
            if (useComment) text.append(values.comment);
            if (options.foldCase) {
                UpperCaseInto(text, mapper_, folded);
                text.swap(folded);
            }

            bool match = !options.anyKeyword;
            for (const auto& k : keys) {
                // Both sides are folded already.
                const bool found = ContainsKeyword(text, k, false, mapper_);
                match = options.anyKeyword ? (match || found) : (match && found);
            }
            if (match) {
                rows.push_back(FavoriteItem{name, label, std::move(values.comment),
                                            std::move(values.url), path + file.disk});
            }
        }
        files.keep();
    };
    const bool listed = walkTreeOrdered(catalog_.fileSystem(), catalog_.profile().codePage(),
                                        catalog_.FavoritesRoot(), folder,
                                        catalog_.throughCache(control), work, add, problem);
    // Without keywords no folder was read.
    if (!keys.empty()) catalog_.walked(folder, listed, control);
    return listed;
}

bool Search::Same(const std::string& url, const SearchOptions& options, const RowSink& add,
                  const ProblemSink& problem, const WalkControl& control) const {
    SearchOptions same = options;
    same.fields = {0, 0, 1, 0};
    return SearchDir(catalog_.FavoritesRoot(), {url}, same, add, problem, control);
}

}  // namespace brim::core
