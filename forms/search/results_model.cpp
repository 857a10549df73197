#include "forms/search/results_model.h"

#include <algorithm>

namespace orvasel {
namespace {

void apply(SearchResult& result, ResultUpdate&& update)
{
    result.details = std::move(update.details);
    if (!update.foundExport.isEmpty() && result.exportState == search::ExportState::None) {
        result.exportState = search::ExportState::ToNote;
        result.foundExport = std::move(update.foundExport);
    }
}

}  // namespace

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultsModel::clear()
{
    beginResetModel();
    results_.clear();
    order_.clear();
    placeOf_.clear();
    early_.clear();
    endResetModel();
}

bool ResultsModel::before(int a, int b) const
{
    const SearchResult &first = results_[std::size_t(a)], &second = results_[std::size_t(b)];
    int order = compareBy(column_, first, second);
    if (order == 0 && column_ != ProjectColumn)
        order = first.projectKey.compare(second.projectKey);
    return sortOrder_ == Qt::AscendingOrder ? order < 0 : order > 0;
}

void ResultsModel::add(std::vector<SearchResult> results)
{
    if (results.empty())
        return;
    std::vector<int> added;
    added.reserve(results.size());
    for (SearchResult& result : results) {
        const int place = int(results_.size());
        if (const auto early = early_.find(result.id); early != early_.end()) {
            apply(result, std::move(early->second));
            early_.erase(early);
        }
        placeOf_[result.id] = place;
        results_.push_back(std::move(result));
        added.push_back(place);
    }
    place(std::move(added));
}

void ResultsModel::place(std::vector<int> others)
{
    const auto less = [this](int a, int b) { return before(a, b); };
    std::stable_sort(others.begin(), others.end(), less);
    const auto first = std::upper_bound(order_.begin(), order_.end(), others.front(), less);
    const auto last = std::upper_bound(order_.begin(), order_.end(), others.back(), less);
    if (first == last) {
        // All at one place: inserted there as they are.
        const int row = int(first - order_.begin());
        beginInsertRows({}, row, row + int(others.size()) - 1);
        order_.insert(first, others.begin(), others.end());
        endInsertRows();
        return;
    }
    // Scattered through the table: added at its end, then moved to their places in one step.
    const int count = int(order_.size());
    beginInsertRows({}, count, count + int(others.size()) - 1);
    std::vector<int> merged;
    merged.reserve(order_.size() + others.size());
    std::merge(order_.begin(), order_.end(), others.begin(), others.end(), std::back_inserter(merged), less);
    order_.insert(order_.end(), others.begin(), others.end());
    endInsertRows();
    reorder(std::move(merged));
}

void ResultsModel::update(std::vector<ResultUpdate> updates)
{
    std::vector<int> touched;
    for (ResultUpdate& update : updates) {
        const auto place = placeOf_.find(update.id);
        if (place == placeOf_.end()) {
            early_[update.id] = std::move(update);
            continue;
        }
        apply(results_[std::size_t(place->second)], std::move(update));
        touched.push_back(place->second);
    }
    if (touched.empty())
        return;
    if (!dependsOnDetails(column_)) {
        emit dataChanged(index(0, VersionColumn), index(rowCount() - 1, ExportColumn));
        return;
    }
    // Out of the order, then back in where their new details put them.
    std::vector<bool> moving(results_.size());
    for (const int place : touched)
        moving[std::size_t(place)] = true;
    std::vector<int> rest;
    rest.reserve(order_.size());
    std::copy_if(order_.begin(), order_.end(), std::back_inserter(rest), [&](int place) { return !moving[std::size_t(place)]; });
    const auto less = [this](int a, int b) { return before(a, b); };
    std::stable_sort(touched.begin(), touched.end(), less);
    std::vector<int> merged;
    merged.reserve(order_.size());
    std::merge(rest.begin(), rest.end(), touched.begin(), touched.end(), std::back_inserter(merged), less);
    reorder(std::move(merged));
}

void ResultsModel::changed(std::size_t id, const std::function<void(SearchResult&)>& change)
{
    const auto place = placeOf_.find(id);
    if (place == placeOf_.end())
        return;
    change(results_[std::size_t(place->second)]);
    std::vector<int> rest;
    rest.reserve(order_.size());
    std::copy_if(order_.begin(), order_.end(), std::back_inserter(rest), [&](int one) { return one != place->second; });
    const auto where = std::upper_bound(rest.begin(), rest.end(), place->second, [this](int a, int b) { return before(a, b); });
    rest.insert(where, place->second);
    reorder(std::move(rest));
}

std::vector<search::CsvRow> ResultsModel::csvRows() const
{
    std::vector<search::CsvRow> rows;
    rows.reserve(order_.size());
    for (const int place : order_)
        rows.push_back(csvRowOf(results_[std::size_t(place)]));
    return rows;
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(order_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ResultColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const SearchResult& result = at(index.row());
    if (role == Qt::DisplayRole)
        return textOf(result, index.column());
    if (role == Qt::ToolTipRole)
        return tipOf(result, index.column());
    if (role == Qt::TextAlignmentRole && index.column() == PluginsColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return headerOf(section);
}

void ResultsModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ResultColumnCount)
        return;
    column_ = column;
    sortOrder_ = order;
    std::vector<int> sorted = order_;
    std::stable_sort(sorted.begin(), sorted.end(), [this](int a, int b) { return before(a, b); });
    reorder(std::move(sorted));
}

void ResultsModel::reorder(std::vector<int> order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> rowOfPlace(results_.size());
    for (std::size_t row = 0; row < order.size(); ++row)
        rowOfPlace[std::size_t(order[row])] = int(row);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after << this->index(rowOfPlace[std::size_t(order_[std::size_t(index.row())])], index.column());
    order_ = std::move(order);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace orvasel
