#include "app/Cell.h"

#include <cstring>
#include <ostream>

namespace brim::app {

Cell::Cell(std::string_view text) {
    if (text.empty()) return;
    auto owned = std::make_shared<char[]>(text.size());
    std::memcpy(owned.get(), text.data(), text.size());
    text_ = {owned.get(), text.size()};
    owner_ = std::move(owned);
}

std::ostream& operator<<(std::ostream& out, const Cell& cell) {
    return out << cell.text_;
}

}  // namespace brim::app
