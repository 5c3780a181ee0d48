#pragma once
// The rows of the result list ListView1 as the window's rules give them; the
// rules sort them. Cells are turned into Qt's strings only when drawn, so that
// 100,000 rows cost a copy and not a conversion each.

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <vector>

#include "app/View.h"

namespace brim::ui {

class ResultListModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setHeaders(const QStringList& headers);
    // Replaces the rows in one step (fast for 100,000 rows).
    void setRows(const std::vector<app::Row>& rows);
    // Adds rows below the others.
    void addRows(const std::vector<app::Row>& rows);
    // Changes one row's cells; views keep their selection.
    void setRow(int r, const app::Row& cells);

    const app::Row& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    const QStringList& headers() const { return headers_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QStringList headers_;
    std::vector<app::Row> rows_;
};

}  // namespace brim::ui
