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
    int order = compareNames(field(a, column_), field(b, column_));
    if (order == 0 && column_ != ProjectColumn)
        order = compareNames(a.project, b.project);
    return order_ == Qt::AscendingOrder ? order < 0 : order > 0;
}

void ResultsModel::add(std::vector<SearchResult> results)
{
    for (SearchResult& result : results) {
        const auto place = std::upper_bound(rows_.begin(), rows_.end(), result,
                                            [this](const SearchResult& a, const SearchResult& b) { return before(a, b); });
        const int row = int(place - rows_.begin());
        beginInsertRows({}, row, row);
        rows_.insert(place, std::move(result));
        endInsertRows();
    }
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
    return field(rows_.at(std::size_t(index.row())), index.column());
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
    default:
        return QStringLiteral("Ligne");
    }
}

void ResultsModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    column_ = column;
    order_ = order;
    std::vector<std::size_t> places(rows_.size());
    for (std::size_t i = 0; i < places.size(); ++i)
        places[i] = i;
    std::stable_sort(places.begin(), places.end(),
                     [this](std::size_t a, std::size_t b) { return this->before(rows_[a], rows_[b]); });
    std::vector<SearchResult> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newRow(rows_.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        newRow[places[i]] = int(i);
        sorted.push_back(std::move(rows_[places[i]]));
    }
    rows_ = std::move(sorted);
    QModelIndexList after;
    for (const QModelIndex& index : before)
        after << this->index(newRow[std::size_t(index.row())], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace orvasel
