#include "platform/list_box.h"

#include "platform/name_order.h"

#include <QKeyEvent>
#include <QScopeGuard>
#include <QSet>
#include <QStringListModel>
#include <algorithm>
#include <numeric>
#include <vector>

namespace orvasel {
namespace {

// Marks the program's own changes so that they raise no click.
struct ProgramChange {
    explicit ProgramChange(int& depth) : depth_(depth) { ++depth_; }
    ~ProgramChange() { --depth_; }
    int& depth_;
};

}  // namespace

QStringList ListBox::inNameOrder(const QStringList& names)
{
    // A folder listed again mostly gives the same names in the same order: each takes its place
    // of the last time, and the collation is spared.
    const auto samePlaces = [&] {
        for (qsizetype i = 0; i < names.size(); ++i)
            if (names.at(i) != ordered_.at(places_[std::size_t(i)]))
                return false;
        return true;
    };
    if (names.size() == ordered_.size() && samePlaces())
        return ordered_;
    // Equal names in the order given. The names are compared as they are: for names of a folder,
    // the collation's own fast comparison beats building sort keys.
    std::vector<int> order(std::size_t(names.size()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&names](int a, int b) {
        const int byName = compareNames(names.at(a), names.at(b));
        return byName < 0 || (byName == 0 && a < b);
    });
    places_.assign(order.size(), 0);
    QStringList sorted;
    sorted.reserve(names.size());
    for (int i : order) {
        places_[std::size_t(i)] = int(sorted.size());
        sorted << names.at(i);
    }
    ordered_ = sorted;
    return sorted;
}

ListBox::ListBox(QWidget* parent) : QListView(parent), names_(new QStringListModel(this))
{
    setModel(names_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (programmatic_ == 0)
            emit Click();
    });
}

int ListBox::count() const
{
    return names_->rowCount();
}

void ListBox::Clear()
{
    ProgramChange change(programmatic_);
    refill({});
}

void ListBox::refill(const QStringList& texts)
{
    names_->setStringList(texts);
}

void ListBox::AddItem(const QString& text)
{
    ProgramChange change(programmatic_);
    int row = count();
    if (sorted_) {
        // After the equal names already there.
        int low = 0;
        while (low < row) {
            const int middle = low + (row - low) / 2;
            if (compareNames(text, names_->index(middle).data().toString()) < 0)
                row = middle;
            else
                low = middle + 1;
        }
    }
    names_->insertRows(row, 1);
    names_->setData(names_->index(row), text);
}

QStringList ListBox::Items() const
{
    return names_->stringList();
}

void ListBox::AddItems(const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    ProgramChange change(programmatic_);
    if (count() == 0) {
        refill(sorted_ ? inNameOrder(texts) : texts);
        return;
    }
    if (sorted_) {
        // Each new name goes after the equal names already there and after the equal new names
        // added before it: the order of the names, ties kept in the order of arrival.
        refill(inNameOrder(Items() + texts));
        return;
    }
    const int first = count();
    names_->insertRows(first, int(texts.size()));
    for (int i = 0; i < texts.size(); ++i)
        names_->setData(names_->index(first + i), texts.at(i));
}

void ListBox::SyncItems(const QStringList& texts)
{
    ProgramChange change(programmatic_);
    const QStringList wanted = inNameOrder(texts);
    const QStringList present = Items();
    if (wanted == present)
        return;
    // The view hands the selection of a removed row to its neighbour: a selection that goes, goes.
    const QString selected = SelectedText();
    const auto keepSelection = qScopeGuard([this, selected] {
        if (!selected.isEmpty() && SelectedText() != selected)
            selectionModel()->clearSelection();
    });
    // Both lists are in the order of the names: one walk tells what goes and what comes, one row at
    // a time, so that the rows that stay keep their selection and their place in the view.
    const QSet<QString> wantedSet(wanted.cbegin(), wanted.cend());
    const QSet<QString> presentSet(present.cbegin(), present.cend());
    const auto kept = std::count_if(present.cbegin(), present.cend(),
                                    [&wantedSet](const QString& name) { return wantedSet.contains(name); });
    // Many changes at once (a folder copied in) are cheaper made as a new list.
    constexpr qsizetype kRowByRowChanges = 64;
    if (present.size() + wanted.size() - 2 * kept > kRowByRowChanges)
        return refillKeepingSelection(wanted);
    int row = 0;
    qsizetype next = 0;
    while (row < count() && next < wanted.size()) {
        const QString current = names_->index(row).data().toString();
        if (current == wanted.at(next)) {
            ++row;
            ++next;
        } else if (!wantedSet.contains(current)) {
            names_->removeRows(row, 1);
        } else if (!presentSet.contains(wanted.at(next))) {
            names_->insertRows(row, 1);
            names_->setData(names_->index(row++), wanted.at(next++));
        } else {
            break;  // equal names that came in another order
        }
    }
    if (next == wanted.size() && row < count())
        names_->removeRows(row, count() - row);
    for (; row == count() && next < wanted.size(); ++next) {
        names_->insertRows(row, 1);
        names_->setData(names_->index(row++), wanted.at(next));
    }
    if (row != count() || next != wanted.size())
        refillKeepingSelection(wanted);
}

void ListBox::refillKeepingSelection(const QStringList& texts)
{
    const QString selected = SelectedText();
    refill(texts);
    if (const qsizetype again = texts.indexOf(selected); !selected.isEmpty() && again >= 0)
        setCurrentIndex(names_->index(int(again)));
}

void ListBox::SetSorted(bool sorted)
{
    if (sorted == sorted_)
        return;
    ProgramChange change(programmatic_);
    sorted_ = sorted;
    // Handing the items back one by one to an unsorted list leaves them as they are; to a sorted
    // one, puts them in the order of the names.
    if (sorted_ && count() > 1)
        refill(inNameOrder(Items()));
}

void ListBox::keyPressEvent(QKeyEvent* event)
{
    // With nothing selected yet, the first arrow selects the item under the caret (the first one
    // after a listing), not the one after it.
    const bool arrow = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
    const bool plain = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (arrow && plain && !selectionModel()->hasSelection() && currentIndex().isValid()) {
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
        return;
    }
    QListView::keyPressEvent(event);
}

int ListBox::ItemIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void ListBox::SetItemIndex(int index)
{
    ProgramChange change(programmatic_);
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentIndex(QModelIndex());
        return;
    }
    setCurrentIndex(names_->index(index));
}

QString ListBox::SelectedText() const
{
    const int index = ItemIndex();
    return index < 0 ? QString() : names_->index(index).data().toString();
}

QModelIndexList ListBox::findItems(const QString& text, Qt::MatchFlags flags) const
{
    return names_->match(names_->index(0), Qt::DisplayRole, text, -1, flags);
}

}  // namespace orvasel
