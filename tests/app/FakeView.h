#pragma once
// A screen that records what the window's rules show on it.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/View.h"

namespace brim::test {

class FakeView final : public app::View {
  public:
    std::vector<std::string> headers;
    std::vector<int> fifths;
    std::vector<app::Row> rows;
    std::optional<std::pair<int, bool>> sortIndicator;
    int selected = -1;
    std::string count;
    std::vector<std::string> counts;   // every count caption, in order
    std::vector<std::size_t> batches;  // the size of every batch of rows added
    bool busy = false;
    std::map<app::Id, std::string> boxes;
    std::vector<std::string> keywordItems;
    std::vector<std::string> offers;  // what is offered below the keyword box now
    // Unset until the rules set them: a mode without a layout leaves them so.
    std::optional<app::Twips> size;
    std::optional<app::Sizing> sizing;
    std::optional<int> comboWidth;
    std::optional<bool> goVisible;
    std::optional<bool> topmost;
    std::map<app::Id, bool> enabled;
    std::map<app::Id, bool> checked;
    app::Twips position;              // where the user has put the window
    std::vector<app::Twips> movedTo;  // every move the rules asked for
    std::optional<app::Id> focused;
    bool shown = false;

    void setColumns(const std::vector<std::string>& h, const std::vector<int>& f) override {
        headers = h;
        fifths = f;
        // New columns come without a sort mark, as a Win32 header's do.
        sortIndicator.reset();
    }
    void setRows(const std::vector<app::Row>& r) override {
        rows = r;
        selected = -1;
    }
    void addRows(const std::vector<app::Row>& r) override {
        rows.insert(rows.end(), r.begin(), r.end());
        batches.push_back(r.size());
    }
    void setBusy(bool on) override { busy = on; }
    void setRow(int row, const app::Row& cells) override {
        rows.at(static_cast<std::size_t>(row)) = cells;
    }
    void setSortIndicator(int column, bool descending) override {
        sortIndicator = {column, descending};
    }
    void selectRow(int row) override { selected = row; }
    void setCount(const std::string& caption) override {
        count = caption;
        counts.push_back(caption);
    }
    std::string text(app::Id box) const override {
        const auto it = boxes.find(box);
        return it == boxes.end() ? std::string() : it->second;
    }
    void setText(app::Id box, const std::string& t) override { boxes[box] = t; }
    void setKeywordItems(const std::vector<std::string>& items) override { keywordItems = items; }
    void offerKeywords(const std::vector<std::string>& o) override { offers = o; }
    void setSizeTwips(app::Twips s, app::Sizing how) override {
        size = s;
        sizing = how;
    }
    app::Twips positionTwips() const override { return position; }
    void moveTwips(app::Twips p) override {
        movedTo.push_back(p);
        position = p;
    }
    void setComboWidthTwips(int width) override { comboWidth = width; }
    void setGoVisible(bool visible) override { goVisible = visible; }
    void setMenuEnabled(app::Id item, bool on) override { enabled[item] = on; }
    void setMenuChecked(app::Id item, bool on) override { checked[item] = on; }
    void setTopmost(bool on) override { topmost = on; }
    void focus(app::Id control) override { focused = control; }
    void showWindow() override { shown = true; }

    // The cells of one column, in list order.
    std::vector<std::string> column(std::size_t c = 0) const {
        std::vector<std::string> out;
        for (const auto& r : rows)
            out.push_back(r[c].str());
        return out;
    }
};

}  // namespace brim::test
