#pragma once
// The keyword box's list: fixed keywords ("固定キーワード登録", Form2) on top,
// then the history of searched keywords. Both are kept in the settings.

#include <string>

#include "app/Settings.h"
#include "app/View.h"
#include "core/KeywordLists.h"
#include "platform/CaseMapper.h"

namespace brim::app {

class KeywordBox {
  public:
    KeywordBox(View& view, SettingsWriter& settings, const platform::CaseMapper& caseMapper)
        : view_(view), settings_(settings), caseMapper_(caseMapper) {}

    const core::KeywordList& items() const { return items_; }
    const core::KeywordList& fixedKeywords() const { return fixed_; }

    // Reads the history and the fixed keywords from the settings.
    void LoadKeywords();
    void RebuildKeywordList();
    // Records the searched text in the history and stores the history.
    void RecordKeyword(const std::string& text);
    // "キーワード履歴の初期化": the history goes from the list, the fixed keywords stay.
    void clearKey();

    // The entries offered while `typed` is being typed, case folded as the
    // search folds it: those that begin with it, then those that hold it
    // further on, each in list order. Nothing for an empty text, and never
    // the typed text itself.
    std::vector<std::string> offersFor(const std::string& typed) const;

    // Form2's "登録" and "削除"; each stores the fixed keywords when they change.
    void registerFixed(const std::string& keyword);
    void deleteFixed(const std::string& keyword);

  private:
    void show() { view_.setKeywordItems(items_); }
    void storeFixed();

    View& view_;
    SettingsWriter& settings_;
    const platform::CaseMapper& caseMapper_;
    core::KeywordList items_;
    core::KeywordList fixed_;
};

}  // namespace brim::app
