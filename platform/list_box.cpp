#include "platform/list_box.h"

#include <QCollator>
#include <QKeyEvent>
#include <algorithm>

namespace orvasel {
namespace {

// The order of the names, as the system's sorted lists keep it.
const QCollator& nameOrder()
{
    static const QCollator collator = [] {
        // The "C" locale compares code points, letter case included; the system's lists always
        // sort by language, so such a user gets the common rules of the Latin alphabet.
        const QLocale user;
        QCollator c{user.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : user};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator;
}

// Marks the program's own changes so that they raise no click.
struct ProgramChange {
    explicit ProgramChange(int& depth) : depth_(depth) { ++depth_; }
    ~ProgramChange() { --depth_; }
    int& depth_;
};

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (programmatic_ == 0)
            emit Click();
    });
}

QCollatorSortKey ListBox::keyFor(const QString& text) const
{
    return nameOrder().sortKey(text);
}

void ListBox::Clear()
{
    ProgramChange change(programmatic_);
    clear();
    keys_.clear();
}

void ListBox::insertAt(int row, const QString& text, QCollatorSortKey key)
{
    insertItem(row, text);
    keys_.insert(keys_.begin() + row, std::move(key));
}

void ListBox::AddItem(const QString& text)
{
    ProgramChange change(programmatic_);
    QCollatorSortKey key = keyFor(text);
    int row = count();
    if (sorted_) {
        const auto place = std::upper_bound(keys_.begin(), keys_.end(), key,
            [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b) < 0; });
        row = int(place - keys_.begin());
    }
    insertAt(row, text, std::move(key));
}

QStringList ListBox::Items() const
{
    QStringList items;
    items.reserve(count());
    for (int row = 0; row < count(); ++row)
        items << item(row)->text();
    return items;
}

void ListBox::AddItems(const QStringList& texts)
{
    ProgramChange change(programmatic_);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(std::size_t(texts.size()));
    for (const QString& text : texts)
        keys.push_back(keyFor(text));
    if (!sorted_) {
        addItems(texts);
        keys_.insert(keys_.end(), std::make_move_iterator(keys.begin()), std::make_move_iterator(keys.end()));
        return;
    }
    // Each new name would go after the equal names already there, and after the equal new names
    // added before it: a stable sort of the new ones, then a merge that favours the old ones.
    const QStringList present = Items();
    std::vector<int> order(std::size_t(texts.size()));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[std::size_t(a)].compare(keys[std::size_t(b)]) < 0; });
    QStringList merged;
    merged.reserve(present.size() + texts.size());
    std::vector<QCollatorSortKey> mergedKeys;
    mergedKeys.reserve(keys_.size() + keys.size());
    std::size_t old = 0;
    for (int i : order) {
        const QCollatorSortKey& key = keys[std::size_t(i)];
        while (old < keys_.size() && key.compare(keys_[old]) >= 0) {
            merged << present.at(qsizetype(old));
            mergedKeys.push_back(keys_[old++]);
        }
        merged << texts.at(i);
        mergedKeys.push_back(key);
    }
    for (; old < keys_.size(); ++old) {
        merged << present.at(qsizetype(old));
        mergedKeys.push_back(keys_[old]);
    }
    refill(merged, std::move(mergedKeys));
}

void ListBox::refill(const QStringList& texts, std::vector<QCollatorSortKey> keys)
{
    clear();
    addItems(texts);
    keys_ = std::move(keys);
}

void ListBox::SetSorted(bool sorted)
{
    if (sorted == sorted_)
        return;
    ProgramChange change(programmatic_);
    sorted_ = sorted;
    const QStringList items = Items();
    std::vector<QCollatorSortKey> keys = std::move(keys_);
    keys_.clear();
    if (!sorted_) {
        refill(items, std::move(keys));
        return;
    }
    // Handing the items back one by one to a sorted list is adding them to an empty sorted list.
    clear();
    AddItems(items);
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
    QListWidget::keyPressEvent(event);
}

int ListBox::ItemIndex() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.constFirst());
}

void ListBox::SetItemIndex(int index)
{
    ProgramChange change(programmatic_);
    if (index < 0 || index >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(index);
}

QString ListBox::SelectedText() const
{
    const int index = ItemIndex();
    return index < 0 ? QString() : item(index)->text();
}

}  // namespace orvasel
