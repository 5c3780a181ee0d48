#include "app/Keywords.h"

#include "core/Search.h"

namespace brim::app {

void KeywordBox::LoadKeywords() {
    items_ = core::ReadKeywordKeys(settings_.profile(), 'W');
    fixed_ = core::ReadKeywordKeys(settings_.profile(), 'D');
    RebuildKeywordList();
}

void KeywordBox::RebuildKeywordList() {
    items_ = core::RebuildKeywordList(items_, fixed_);
    show();
}

void KeywordBox::RecordKeyword(const std::string& text) {
    if (!core::RecordKeyword(items_, fixed_.size(), text)) return;
    show();
    settings_.check(core::WriteKeywordKeys(settings_.profile(), 'W', items_));
}

void KeywordBox::clearKey() {
    items_.clear();
    RebuildKeywordList();
}

std::vector<std::string> KeywordBox::offersFor(const std::string& typed) const {
    if (typed.empty()) return {};
    const std::string key = core::UpperCase(typed, caseMapper_);
    std::vector<std::string> starting, containing;
    for (const std::string& item : items_) {
        if (item == typed) continue;
        const std::size_t at = core::UpperCase(item, caseMapper_).find(key);
        if (at == 0) {
            starting.push_back(item);
        } else if (at != std::string::npos) {
            containing.push_back(item);
        }
    }
    starting.insert(starting.end(), containing.begin(), containing.end());
    return starting;
}

void KeywordBox::registerFixed(const std::string& keyword) {
    if (!core::RegisterFixedKeyword(items_, fixed_, keyword)) return;
    show();
    storeFixed();
}

void KeywordBox::deleteFixed(const std::string& keyword) {
    core::DeleteFixedKeyword(items_, fixed_, keyword);
    show();
    storeFixed();
}

void KeywordBox::storeFixed() {
    settings_.check(core::WriteKeywordKeys(settings_.profile(), 'D', fixed_));
}

}  // namespace brim::app
