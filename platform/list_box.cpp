#include "platform/list_box.h"

#include <QKeyEvent>
#include <QLocale>
#include <algorithm>
#include <numeric>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <string>
#else
#include <QCollator>
#include <QCollatorSortKey>
#endif

namespace orvasel {
namespace {

// The language whose rules order the names. The "C" locale would compare code points, letter
// case included; the system's lists always sort by language, so such a user gets the common
// rules of the Latin alphabet.
QLocale orderLanguage()
{
    const QLocale user;
    return user.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : user;
}

#ifdef _WIN32

// Qt's collation keys are wrong on Windows (half of each key is left unset): the system builds
// them here, with the same rules, case-insensitive, in the user's language.
using SortKey = QByteArray;

SortKey sortKeyOf(const QString& name)
{
    static const std::wstring language = orderLanguage().bcp47Name().toStdWString();
    const auto* text = reinterpret_cast<const wchar_t*>(name.utf16());
    const int length = int(name.size());
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    // With LCMAP_SORTKEY the sizes are in bytes.
    const int size = LCMapStringEx(language.c_str(), kFlags, text, length, nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0)
        return {};
    QByteArray key(size, Qt::Uninitialized);
    LCMapStringEx(language.c_str(), kFlags, text, length, reinterpret_cast<LPWSTR>(key.data()), size, nullptr,
                  nullptr, 0);
    return key;
}

bool keyLess(const SortKey& a, const SortKey& b)
{
    return a < b;  // bytes compared unsigned
}

#else

using SortKey = QCollatorSortKey;

SortKey sortKeyOf(const QString& name)
{
    static const QCollator collator = [] {
        QCollator c{orderLanguage()};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator.sortKey(name);
}

bool keyLess(const SortKey& a, const SortKey& b)
{
    return a.compare(b) < 0;
}

#endif

// The names in their order, equal names in the order given. Each key is built once.
QStringList inNameOrder(const QStringList& names)
{
    std::vector<SortKey> keys;
    keys.reserve(std::size_t(names.size()));
    for (const QString& name : names)
        keys.push_back(sortKeyOf(name));
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&keys](int a, int b) {
        const SortKey& left = keys[std::size_t(a)];
        const SortKey& right = keys[std::size_t(b)];
        return keyLess(left, right) || (!keyLess(right, left) && a < b);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (int i : order)
        sorted << names.at(i);
    return sorted;
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

void ListBox::Clear()
{
    ProgramChange change(programmatic_);
    clear();
}

void ListBox::AddItem(const QString& text)
{
    ProgramChange change(programmatic_);
    if (!sorted_) {
        addItem(text);
        return;
    }
    // After the equal names already there.
    const SortKey key = sortKeyOf(text);
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (keyLess(key, sortKeyOf(item(middle)->text())))
            high = middle;
        else
            low = middle + 1;
    }
    insertItem(low, text);
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
    if (!sorted_) {
        addItems(texts);
        return;
    }
    // Each new name goes after the equal names already there and after the equal new names
    // added before it: the order of the names, ties kept in the order of arrival.
    if (count() == 0) {
        addItems(inNameOrder(texts));
        return;
    }
    refill(inNameOrder(Items() + texts));
}

void ListBox::refill(const QStringList& texts)
{
    clear();
    addItems(texts);
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
