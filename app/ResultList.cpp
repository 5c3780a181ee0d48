#include "app/ResultList.h"

#include <algorithm>
#include <numeric>

#include "core/Search.h"

namespace brim::app {

void ResultList::fill(std::vector<std::string> headers, std::vector<Row> rows) {
    headers_ = std::move(headers);
    rows_ = std::move(rows);
    if (sorted_) sortRows();
}

void ResultList::sortBy(int column, bool descending) {
    sorted_ = true;
    sortColumn_ = column;
    descending_ = descending;
    sortRows();
}

const Row* ResultList::row(int r) const {
    if (r < 0 || r >= size()) return nullptr;
    return &rows_[static_cast<std::size_t>(r)];
}

void ResultList::sortRows() {
    // A column this fill does not have leaves the rows as they came.
    if (sortColumn_ < 0 || static_cast<std::size_t>(sortColumn_) >= headers_.size()) return;
    const auto c = static_cast<std::size_t>(sortColumn_);
    // Each cell is folded once, not once per comparison: lists run to 100,000 rows.
    std::vector<std::string> keys;
    keys.reserve(rows_.size());
    for (const Row& r : rows_)
        keys.push_back(core::UpperCase(r[c], mapper_));
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending_ ? keys[a] > keys[b] : keys[a] < keys[b];
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(rows_[i]));
    rows_ = std::move(sorted);
}

}  // namespace brim::app
