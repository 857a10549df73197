#include "platform/combo_box.h"

namespace orvasel {

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    // activated() comes from the user alone; currentIndexChanged() would also report the program.
    connect(this, &QComboBox::activated, this, [this] { emit Change(); });
}

QStringList ComboBox::Items() const
{
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    return items;
}

void ComboBox::AddItem(const QString& text)
{
    const int selected = currentIndex();
    addItem(text);
    // Qt selects the first entry of an empty list by itself; the program decides the selection here.
    setCurrentIndex(selected);
}

void ComboBox::DeleteItem(int index)
{
    if (index >= 0 && index < count())
        removeItem(index);
}

void ComboBox::SetItemIndex(int index)
{
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

QString ComboBox::SelectedText() const
{
    return currentIndex() < 0 ? QString() : itemText(currentIndex());
}

}  // namespace orvasel
