#include "forms/search/results_model.h"

#include "platform/name_order.h"

#include <algorithm>

namespace orvasel {
namespace {

const QString& field(const SearchResult& result, int column)
{
    switch (column) {
    case ResultsModel::ProjectColumn:
        return result.project;
    case ResultsModel::FolderColumn:
        return result.folder;
    case ResultsModel::ExportColumn:
        return result.exportState;
    default:
        return result.line;
    }
}

}  // namespace

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultsModel::clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

bool ResultsModel::before(const SearchResult& a, const SearchResult& b) const
{
    // The projects of one folder share its text: equal texts need no collation.
    const QString &first = field(a, column_), &second = field(b, column_);
    int order = first == second ? 0 : compareNames(first, second);
    if (order == 0 && column_ != ProjectColumn)
        order = compareNames(a.project, b.project);
    return order_ == Qt::AscendingOrder ? order < 0 : order > 0;
}

void ResultsModel::add(std::vector<SearchResult> results)
{
    if (results.empty())
        return;
    const auto less = [this](const SearchResult& a, const SearchResult& b) { return before(a, b); };
    // Where each one goes among the rows already there (after its equals), then the batch in the
    // order of those places, the results of one place in their own order.
    std::vector<std::size_t> placeOf(results.size()), order(results.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        placeOf[i] = std::size_t(std::upper_bound(rows_.begin(), rows_.end(), results[i], less) - rows_.begin());
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return placeOf[a] != placeOf[b] ? placeOf[a] < placeOf[b] : less(results[a], results[b]);
    });
    std::vector<SearchResult> sorted;
    sorted.reserve(results.size());
    std::vector<std::size_t> places;
    places.reserve(results.size());
    for (const std::size_t i : order) {
        sorted.push_back(std::move(results[i]));
        places.push_back(placeOf[i]);
    }
    results = std::move(sorted);
    const std::size_t count = rows_.size();
    const bool oneRun = places.front() == places.back();
    const int first = int(oneRun ? places.front() : count);
    beginInsertRows({}, first, first + int(results.size()) - 1);
    rows_.insert(rows_.begin() + std::ptrdiff_t(first), std::make_move_iterator(results.begin()),
                 std::make_move_iterator(results.end()));
    endInsertRows();
    if (oneRun)
        return;
    // Scattered through the table: added at its end above, now moved to their places in one step,
    // from the last one back, each row moving once.
    const auto arrange = [&] {
        const auto at = [&](std::size_t row) { return rows_.begin() + std::ptrdiff_t(row); };
        std::vector<SearchResult> added(std::make_move_iterator(at(count)), std::make_move_iterator(rows_.end()));
        std::size_t oldEnd = count;
        for (std::size_t i = added.size(); i-- > 0;) {
            std::move_backward(at(places[i]), at(oldEnd), at(oldEnd + i + 1));
            *at(places[i] + i) = std::move(added[i]);
            oldEnd = places[i];
        }
    };
    rearrange(arrange, [&](int row) {
        const std::size_t r = std::size_t(row);
        if (r >= count)
            return int(places[r - count] + (r - count));
        return int(r + std::size_t(std::upper_bound(places.begin(), places.end(), r) - places.begin()));
    });
}

std::vector<search::CsvRow> ResultsModel::csvRows() const
{
    std::vector<search::CsvRow> rows;
    rows.reserve(rows_.size());
    for (const SearchResult& result : rows_)
        rows.push_back({result.project.toStdString(), result.folder.toStdString(), result.line.toStdString(),
                        result.exportPath.toStdString(), result.exportState.toStdString()});
    return rows;
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const SearchResult& result = rows_.at(std::size_t(index.row()));
    // The export's state tells of its path, shown on the way.
    if (role == Qt::ToolTipRole && index.column() == ExportColumn && !result.exportPath.isEmpty())
        return result.exportPath;
    return field(result, index.column());
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ProjectColumn:
        return QStringLiteral("Projet");
    case FolderColumn:
        return QStringLiteral("Dossier");
    case ExportColumn:
        return QStringLiteral("Export");
    default:
        return QStringLiteral("Ligne");
    }
}

void ResultsModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    column_ = column;
    order_ = order;
    std::vector<std::size_t> places(rows_.size());
    for (std::size_t i = 0; i < places.size(); ++i)
        places[i] = i;
    std::stable_sort(places.begin(), places.end(),
                     [this](std::size_t a, std::size_t b) { return this->before(rows_[a], rows_[b]); });
    std::vector<int> newRow(rows_.size());
    const auto arrange = [&] {
        std::vector<SearchResult> sorted;
        sorted.reserve(rows_.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            newRow[places[i]] = int(i);
            sorted.push_back(std::move(rows_[places[i]]));
        }
        rows_ = std::move(sorted);
    };
    rearrange(arrange, [&](int row) { return newRow[std::size_t(row)]; });
}

void ResultsModel::rearrange(const std::function<void()>& arrange, const std::function<int(int)>& newRow)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    arrange();
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after << this->index(newRow(index.row()), index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace orvasel
