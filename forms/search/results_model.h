#pragma once
// The results of a search as a table: project, folder, export, line. Sorted by any column in the order of
// the project list (without regard to case, in the user's language), ties by project name.
#include "search/csv_export.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

namespace orvasel {

struct SearchResult {
    QString project;  // the project file's name
    QString folder;   // its folder text, ending with the separator
    QString line;     // the line that holds the text searched for, or the note's first line
    QString exportPath;   // the exported-audio path, empty when none
    QString exportState;  // "présent", "introuvable", "—" or "non vérifié"
};

class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ProjectColumn, FolderColumn, ExportColumn, LineColumn, ColumnCount };

    explicit ResultsModel(QObject* parent = nullptr);

    void clear();
    // Each at its place in the present order, all in one step: one insertion where they all go
    // to the same place, else one insertion and one move of the rows, whatever their number.
    void add(std::vector<SearchResult> results);
    const SearchResult& at(int row) const { return rows_.at(std::size_t(row)); }
    // The rows in their present order, as the list file keeps them.
    std::vector<search::CsvRow> csvRows() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    bool before(const SearchResult& a, const SearchResult& b) const;
    // The rows moved by arrange in one step, the views told; newRow says where a row went.
    void rearrange(const std::function<void()>& arrange, const std::function<int(int)>& newRow);

    std::vector<SearchResult> rows_;
    int column_ = FolderColumn;
    Qt::SortOrder order_ = Qt::AscendingOrder;
};

}  // namespace orvasel
