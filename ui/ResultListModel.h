#pragma once
// The rows of the result list ListView1. One model holds every fill (favorites,
// folders, browser pages); it keeps itself sorted once a header was clicked.

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <vector>

namespace brim::ui {

class ResultListModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    using Row = std::array<QString, 3>;

    using QAbstractTableModel::QAbstractTableModel;

    // Replaces columns and rows in one step (fast for 100,000 rows); the rows
    // are sorted when a sort is in force.
    void fill(const QStringList& headers, std::vector<Row> rows);

    // Sorts by the 0-based column from now on, for this and every later fill.
    void sortBy(int column, Qt::SortOrder order);
    bool isSorted() const { return sorted_; }
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    const Row& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    const QStringList& headers() const { return headers_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    void sortRows();

    QStringList headers_;
    std::vector<Row> rows_;
    bool sorted_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace brim::ui
