#include "app/ResultList.h"

#include <algorithm>
#include <numeric>

#include "core/Search.h"

namespace brim::app {

void ResultList::fill(std::vector<std::string> headers, std::vector<Row> rows,
                      std::vector<Cell> files) {
    headers_ = std::move(headers);
    rows_ = std::move(rows);
    files_ = std::move(files);
    files_.resize(rows_.size());
    keys_.clear();
    if (sorted_) sortRows();
}

ResultList::Taken ResultList::take() {
    Taken taken{std::move(rows_), std::move(files_)};
    rows_.clear();
    files_.clear();
    keys_.clear();
    return taken;
}

bool ResultList::append(std::vector<Row> rows, std::vector<Cell> files, int* follow) {
    files.resize(rows.size());
    if (!sorted_ || !sortable()) {
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                     std::make_move_iterator(rows.end()));
        files_.insert(files_.end(), std::make_move_iterator(files.begin()),
                      std::make_move_iterator(files.end()));
        return false;
    }
    // The new rows sorted among themselves, then merged; on equal cells the
    // rows that came first stay first, as a stable sort of the whole list has it.
    std::vector<std::string> keys = keysOf(rows);
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto before = [this](const std::string& a, const std::string& b) {
        return descending_ ? a > b : a < b;
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return before(keys[a], keys[b]); });
    std::vector<Row> mergedRows;
    std::vector<Cell> mergedFiles;
    std::vector<std::string> mergedKeys;
    mergedRows.reserve(rows_.size() + rows.size());
    mergedFiles.reserve(rows_.size() + rows.size());
    mergedKeys.reserve(rows_.size() + rows.size());
    const int followed = follow && row(*follow) ? *follow : -1;
    std::size_t old = 0;
    const auto takeOld = [&] {
        if (static_cast<int>(old) == followed) *follow = static_cast<int>(mergedRows.size());
        mergedRows.push_back(std::move(rows_[old]));
        mergedFiles.push_back(std::move(files_[old]));
        mergedKeys.push_back(std::move(keys_[old]));
        ++old;
    };
    for (const std::size_t i : order) {
        while (old < rows_.size() && !before(keys[i], keys_[old]))
            takeOld();
        mergedRows.push_back(std::move(rows[i]));
        mergedFiles.push_back(std::move(files[i]));
        mergedKeys.push_back(std::move(keys[i]));
    }
    while (old < rows_.size())
        takeOld();
    rows_ = std::move(mergedRows);
    files_ = std::move(mergedFiles);
    keys_ = std::move(mergedKeys);
    return true;
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

const Cell& ResultList::file(int r) const {
    static const Cell none;
    return row(r) ? files_[static_cast<std::size_t>(r)] : none;
}

void ResultList::setRow(int r, Row cells) {
    if (row(r)) rows_[static_cast<std::size_t>(r)] = std::move(cells);
}

bool ResultList::sortable() const {
    // A column this fill does not have leaves the rows as they came.
    return sortColumn_ >= 0 && static_cast<std::size_t>(sortColumn_) < headers_.size();
}

std::vector<std::string> ResultList::keysOf(const std::vector<Row>& rows) const {
    // Each cell is folded once, not once per comparison: lists run to 100,000 rows.
    const auto c = static_cast<std::size_t>(sortColumn_);
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const Row& r : rows)
        keys.push_back(core::UpperCase(r[c], mapper_));
    return keys;
}

int ResultList::sortRows(int follow) {
    if (!row(follow)) follow = -1;
    keys_.clear();
    if (!sortable()) return follow;
    std::vector<std::string> keys = keysOf(rows_);
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending_ ? keys[a] > keys[b] : keys[a] < keys[b];
    });
    std::vector<Row> sorted;
    std::vector<Cell> files;
    sorted.reserve(rows_.size());
    files.reserve(rows_.size());
    keys_.reserve(rows_.size());
    int followed = -1;
    for (const std::size_t i : order) {
        if (static_cast<int>(i) == follow) followed = static_cast<int>(sorted.size());
        sorted.push_back(std::move(rows_[i]));
        files.push_back(std::move(files_[i]));
        keys_.push_back(std::move(keys[i]));
    }
    rows_ = std::move(sorted);
    files_ = std::move(files);
    return followed;
}

}  // namespace brim::app
