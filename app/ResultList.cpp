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

int ResultList::sortBy(int column, bool descending, int follow) {
    sorted_ = true;
    sortColumn_ = column;
    descending_ = descending;
    return sortRows(follow);
}

const Row* ResultList::row(int r) const {
    if (r < 0 || r >= size()) return nullptr;
    return &rows_[static_cast<std::size_t>(r)];
}

int ResultList::sortRows(int follow) {
    if (!row(follow)) follow = -1;
    // A column this fill does not have leaves the rows as they came.
    if (sortColumn_ < 0 || static_cast<std::size_t>(sortColumn_) >= headers_.size()) return follow;
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
    int followed = -1;
    for (const std::size_t i : order) {
        if (static_cast<int>(i) == follow) followed = static_cast<int>(sorted.size());
        sorted.push_back(std::move(rows_[i]));
    }
    rows_ = std::move(sorted);
    return followed;
}

}  // namespace brim::app
