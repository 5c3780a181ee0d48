#include "ui/ResultListModel.h"

#include <algorithm>

namespace brim::ui {

void ResultListModel::fill(const QStringList& headers, std::vector<Row> rows) {
    beginResetModel();
    headers_ = headers;
    rows_ = std::move(rows);
    if (sorted_) sortRows();
    endResetModel();
}

void ResultListModel::sortBy(int column, Qt::SortOrder order) {
    beginResetModel();
    sorted_ = true;
    sortColumn_ = column;
    sortOrder_ = order;
    sortRows();
    endResetModel();
}

void ResultListModel::sortRows() {
    // A column this fill does not have leaves the rows as they came.
    if (sortColumn_ < 0 || sortColumn_ >= headers_.size()) return;
    const auto c = static_cast<std::size_t>(sortColumn_);
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        const int cmp = a[c].compare(b[c], Qt::CaseInsensitive);
        return descending ? cmp > 0 : cmp < 0;
    });
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= 3) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    return row(index.row())[static_cast<std::size_t>(index.column())];
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= headers_.size()) {
        return {};
    }
    return headers_[section];
}

}  // namespace brim::ui
