#include "core/KeywordLists.h"

#include <algorithm>

namespace brim::core {
namespace {

constexpr std::string_view kSection = "KeyWords";

std::string keyName(char letter, std::size_t i) {
    return letter + std::to_string(i);
}

}  // namespace

KeywordList RebuildKeywordList(const KeywordList& list, const KeywordList& fixed) {
    KeywordList out(fixed.begin(), fixed.end());
    for (std::size_t i = fixed.size(); i < list.size(); ++i)
        out.push_back(list[i]);
    if (out.size() > kMaxKeywords) out.resize(kMaxKeywords);
    return out;
}

bool RecordKeyword(KeywordList& list, std::size_t fixedCount, const std::string& k) {
    std::string_view trimmed = k;
    while (!trimmed.empty() && (trimmed.back() == '"' || trimmed.back() == ' ')) {
        trimmed.remove_suffix(1);
    }
    if (!trimmed.empty() && trimmed.back() == '\\') return false;
    if (!k.empty() && std::find(list.begin(), list.end(), k) == list.end()) list.push_back(k);
    // The oldest history entry stands right after the fixed block. Fixed
    // keywords past the list's capacity are not in the list: the block ends
    // at the capacity, and with no room for history the new entry goes again.
    if (list.size() > kMaxKeywords) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(std::min(fixedCount, kMaxKeywords)));
    }
    return true;
}

bool RegisterFixedKeyword(KeywordList& list, KeywordList& fixed, const std::string& k) {
    if (k.empty() || std::find(fixed.begin(), fixed.end(), k) != fixed.end()) return false;
    const std::size_t oldFixed = std::min(fixed.size(), list.size());
    fixed.push_back(k);
    // The history, newest first, without the new fixed keyword.
    KeywordList history;
    for (std::size_t c = list.size(); c > oldFixed; --c) {
        if (list[c - 1] != k) history.push_back(list[c - 1]);
    }
    const std::size_t room = fixed.size() < kMaxKeywords ? kMaxKeywords - fixed.size() : 0;
    if (history.size() > room) history.resize(room);
    list.assign(fixed.begin(),
                fixed.begin() + static_cast<std::ptrdiff_t>(std::min(fixed.size(), kMaxKeywords)));
    list.insert(list.end(), history.rbegin(), history.rend());
    return true;
}

void DeleteFixedKeyword(KeywordList& list, KeywordList& fixed, const std::string& k) {
    std::erase(fixed, k);
    std::erase(list, k);
    // A fixed keyword that stood past the capacity moves up into the list.
    list = RebuildKeywordList(list, fixed);
}

KeywordList ReadKeywordKeys(const Profile& profile, char letter) {
    KeywordList out;
    for (std::size_t i = 0; i < kMaxKeywords; ++i) {
        std::string v = profile.ReadSetting(kSection, keyName(letter, i));
        if (!v.empty()) out.push_back(std::move(v));
    }
    return out;
}

WriteStatus WriteKeywordKeys(const Profile& profile, char letter, const KeywordList& list) {
    WriteStatus first;
    for (std::size_t i = 0; i < kMaxKeywords; ++i) {
        const std::string key = keyName(letter, i);
        const auto s = profile.WriteSetting(kSection, key, i < list.size() ? list[i] : "");
        // The key must not keep the value it held before, which the list now
        // holds at another place: it would be loaded twice. An empty value is
        // skipped when the list is loaded.
        if (s.kind == WriteStatus::Kind::Unencodable) (void)profile.WriteSetting(kSection, key, "");
        if (first && !s) first = s;
    }
    return first;
}

}  // namespace brim::core
