#pragma once
// The text of one cell of the result list, or of a row's file. Copies share
// the text rather than copying it: the rows of a search as typed point into
// the favorites held in memory, so that showing 100,000 of them allocates
// nothing per row, and the list and the views copy rows cheaply.

#include <array>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace brim::app {

class Cell {
  public:
    Cell() = default;
    // A copy of its own of `text`, in one block with its count of users.
    Cell(std::string_view text);
    Cell(const std::string& text) : Cell(std::string_view(text)) {}
    Cell(const char* text) : Cell(std::string_view(text)) {}
    // Text that `owner` keeps alive and never changes; no owner for text
    // that lives as long as the program.
    Cell(std::shared_ptr<const void> owner, std::string_view text)
        : owner_(std::move(owner)), text_(text) {}

    std::string_view view() const { return text_; }
    operator std::string_view() const { return text_; }
    std::string str() const { return std::string(text_); }
    bool empty() const { return text_.empty(); }
    std::size_t size() const { return text_.size(); }

    friend bool operator==(const Cell& a, const Cell& b) { return a.text_ == b.text_; }
    friend bool operator==(const Cell& a, std::string_view b) { return a.text_ == b; }
    friend bool operator==(const Cell& a, const std::string& b) { return a.text_ == b; }
    friend bool operator==(const Cell& a, const char* b) { return a.text_ == b; }
    friend auto operator<=>(const Cell& a, const Cell& b) { return a.text_ <=> b.text_; }
    friend std::string operator+(const Cell& a, const Cell& b) {
        std::string out;
        out.reserve(a.size() + b.size());
        return out.append(a.text_).append(b.text_);
    }
    friend std::ostream& operator<<(std::ostream& out, const Cell& cell);

  private:
    std::shared_ptr<const void> owner_;
    std::string_view text_;
};

// Cells over `texts`, moved into one block that they share: one allocation
// for a whole row, and no text copied.
template <std::size_t N>
std::array<Cell, N> sharedCells(std::array<std::string, N> texts) {
    auto block = std::make_shared<const std::array<std::string, N>>(std::move(texts));
    std::array<Cell, N> cells;
    for (std::size_t i = 0; i < N; ++i)
        if (!(*block)[i].empty()) cells[i] = Cell(block, (*block)[i]);
    return cells;
}

}  // namespace brim::app
