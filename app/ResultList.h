#pragma once
// The rows of the result list ListView1. One list holds every fill (favorites,
// folders, browser pages); it keeps itself sorted once a header was clicked.

#include <string>
#include <vector>

#include "app/View.h"
#include "platform/CaseMapper.h"

namespace brim::app {

class ResultList {
  public:
    explicit ResultList(const platform::CaseMapper& mapper) : mapper_(mapper) {}

    // Replaces columns and rows; the rows are sorted when a sort is in force.
    // `files` holds each favorite row's file as on disk, in row order (or
    // nothing, for rows that are no files); each stays with its row.
    void fill(std::vector<std::string> headers, std::vector<Row> rows,
              std::vector<Cell> files = {});
    // Adds rows of a running fill, with their files as `fill` takes them:
    // below the others, or each in its place when a sort is in force, as if
    // the whole list had been sorted at once. True when they were placed among
    // the others; then `follow`, when given, is moved to where the row that
    // stood there stands now.
    bool append(std::vector<Row> rows, std::vector<Cell> files = {}, int* follow = nullptr);
    // Sorts by the 0-based column from now on, for this and every later fill.
    // Returns where the row that stood at `follow` stands now (-1 for none).
    int sortBy(int column, bool descending, int follow = -1);

    // Rows stay in the order they come from now on.
    void unsort() {
        sorted_ = false;
        keys_.clear();
    }
    bool isSorted() const { return sorted_; }
    int sortColumn() const { return sortColumn_; }
    bool descending() const { return descending_; }
    const std::vector<std::string>& headers() const { return headers_; }
    const std::vector<Row>& rows() const { return rows_; }
    int size() const { return static_cast<int>(rows_.size()); }
    // The row at `r`, or nullptr when there is none.
    const Row* row(int r) const;
    // The file of the row at `r` as on disk; empty when the row has none.
    const Cell& file(int r) const;
    // Every row's file, in row order.
    const std::vector<Cell>& files() const { return files_; }
    // Empties the list, handing over its rows and their files; the columns stay.
    struct Taken {
        std::vector<Row> rows;
        std::vector<Cell> files;
    };
    Taken take();
    // Replaces the cells of an existing row; the order stays as it is.
    void setRow(int r, Row cells);

  private:
    bool sortable() const;
    std::vector<std::string> keysOf(const std::vector<Row>& rows) const;
    // Returns the new place of the row at `follow`, or -1.
    int sortRows(int follow = -1);

    const platform::CaseMapper& mapper_;
    std::vector<std::string> headers_;
    std::vector<Row> rows_;
    std::vector<Cell> files_;        // one per row, empty for a row with none
    std::vector<std::string> keys_;  // the folded sort cells of rows_, while sorted
    bool sorted_ = false;
    int sortColumn_ = 0;
    bool descending_ = false;
};

}  // namespace brim::app
