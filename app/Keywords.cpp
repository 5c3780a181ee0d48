#include "app/Keywords.h"

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
