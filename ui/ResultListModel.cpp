#include "ui/ResultListModel.h"

#include <tuple>

namespace brim::ui {

void ResultListModel::setHeaders(const QStringList& headers) {
    beginResetModel();
    headers_ = headers;
    endResetModel();
}

void ResultListModel::setRows(const std::vector<app::Row>& rows) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

void ResultListModel::addRows(const std::vector<app::Row>& rows) {
    if (rows.empty()) return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    endInsertRows();
}

void ResultListModel::setRow(int r, const app::Row& cells) {
    if (r < 0 || r >= rowCount()) return;
    rows_[static_cast<std::size_t>(r)] = cells;
    emit dataChanged(index(r, 0), index(r, columnCount() - 1));
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= static_cast<int>(std::tuple_size_v<app::Row>))
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const std::string_view text = row(index.row())[static_cast<std::size_t>(index.column())];
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= headers_.size()) {
        return {};
    }
    return headers_[section];
}

}  // namespace brim::ui
