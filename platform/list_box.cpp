#include "platform/list_box.h"

#include <QCollator>
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

void ListBox::SetSorted(bool sorted)
{
    if (sorted == sorted_)
        return;
    ProgramChange change(programmatic_);
    sorted_ = sorted;
    const QStringList items = Items();
    std::vector<QCollatorSortKey> keys = std::move(keys_);
    clear();
    keys_.clear();
    if (!sorted_) {
        addItems(items);
        keys_ = std::move(keys);
        return;
    }
    // Handing the items back one by one to a sorted list puts each at its place, the later of
    // equal names after the earlier: a stable sort gives the same order in one pass.
    std::vector<int> order(std::size_t(items.size()));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[std::size_t(a)].compare(keys[std::size_t(b)]) < 0; });
    QStringList sortedItems;
    sortedItems.reserve(items.size());
    keys_.reserve(order.size());
    for (int i : order) {
        sortedItems << items.at(i);
        keys_.push_back(keys[std::size_t(i)]);
    }
    addItems(sortedItems);
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
