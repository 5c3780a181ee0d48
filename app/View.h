#pragma once
// What the window's rules need of the screen. The Qt window implements it;
// tests use a fake that records what was shown.

#include <array>
#include <string>
#include <vector>

#include "app/Cell.h"
#include "app/MainForm.h"

namespace brim::app {

// One row of the result list: up to four cells, in column order (the fourth
// is a favorite's "Link", once a link check ran).
using Row = std::array<Cell, 4>;

// A size or position in twips (15 to a pixel).
struct Twips {
    int x = 0;
    int y = 0;
    friend bool operator==(const Twips&, const Twips&) = default;
};

class View {
  public:
    virtual ~View() = default;

    // The list's columns; each column gets `fifths[i]` fifths of the list's width.
    virtual void setColumns(const std::vector<std::string>& headers,
                            const std::vector<int>& fifths) = 0;
    // The list's rows, replacing those shown.
    virtual void setRows(const std::vector<Row>& rows) = 0;
    // Rows added below those shown, while a fill runs.
    virtual void addRows(const std::vector<Row>& rows) = 0;
    // While a fill runs: the pointer says so; the window stays usable.
    virtual void setBusy(bool busy) = 0;
    // Changes the cells of one row in place; the selection stays.
    virtual void setRow(int row, const Row& cells) = 0;
    // The header's sort mark on the 0-based column.
    virtual void setSortIndicator(int column, bool descending) = 0;
    // Selects a row, as a click would, without reporting a click, and
    // scrolls the list so that the row shows.
    virtual void selectRow(int row) = 0;
    // The caption beside the keyword box ("ファイル数: 3").
    virtual void setCount(const std::string& caption) = 0;

    // The text of a box: Combo1 (the keyword box), Text2 … Text6.
    virtual std::string text(Id box) const = 0;
    virtual void setText(Id box, const std::string& text) = 0;
    // The keyword box's drop-down list; what the user typed stays.
    virtual void setKeywordItems(const std::vector<std::string>& items) = 0;
    // Entries offered below the keyword box while the user types; none takes
    // the offer away. What the user typed stays until one is chosen.
    virtual void offerKeywords(const std::vector<std::string>& offers) = 0;

    // The window's outer size in twips (x: width, y: height), frame and title
    // included. With Sizing::Minimum the user may enlarge the window from
    // there, and the list and the edit boxes grow with it.
    virtual void setSizeTwips(Twips size, Sizing sizing) = 0;
    virtual Twips positionTwips() const = 0;
    // Moves the window, or to a reachable place when that one is out of reach.
    virtual void moveTwips(Twips position) = 0;
    virtual void setComboWidthTwips(int width) = 0;
    virtual void setGoVisible(bool visible) = 0;
    virtual void setMenuEnabled(Id item, bool enabled) = 0;
    virtual void setMenuChecked(Id item, bool checked) = 0;
    virtual void setTopmost(bool topmost) = 0;
    virtual void focus(Id control) = 0;
    virtual void showWindow() = 0;
};

}  // namespace brim::app
