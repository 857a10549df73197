#pragma once
// The results of a search as a table (see result_columns.h), sorted by any column in the order of
// the project list (without regard to case, in the user's language), ties by project name. The
// results stay where they were put; the table holds their order, so that sorting and adding move
// numbers, not results.
#include "forms/search/result_columns.h"

#include <QAbstractTableModel>
#include <functional>
#include <unordered_map>
#include <vector>

namespace orvasel {

class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultsModel(QObject* parent = nullptr);

    void clear();
    // Each at its place in the present order, all in one step: one insertion where they all go
    // to the same place, else one insertion and one move of the rows, whatever their number.
    void add(std::vector<SearchResult> results);
    // What was read of the projects' files, for results there or still to come; those that move
    // in the present order move in one step.
    void update(std::vector<ResultUpdate> updates);
    // The result changed in place (its export checked or noted), moved where the order wants it.
    void changed(std::size_t id, const std::function<void(SearchResult&)>& change);
    const SearchResult& at(int row) const { return results_.at(std::size_t(order_.at(std::size_t(row)))); }
    // The rows in their present order, as the list file keeps them.
    std::vector<search::CsvRow> csvRows() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    bool before(int a, int b) const;  // results by their places in results_
    // The results of others (places in results_) put among the rows in order, in one step.
    void place(std::vector<int> others);
    // The rows put in the new order in one step, the views told.
    void reorder(std::vector<int> order);

    std::vector<SearchResult> results_;  // in the order they came
    std::vector<int> order_;             // the rows: places in results_
    std::unordered_map<std::size_t, int> placeOf_;  // by id
    std::unordered_map<std::size_t, ResultUpdate> early_;  // updates whose result has not come yet
    int column_ = FolderColumn;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace orvasel
