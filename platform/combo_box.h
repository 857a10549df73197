#pragma once
// A drop-down list whose change event comes only from the user's choice of an entry; selecting
// an entry from the program raises nothing. The user picks from the list and cannot type.
#include <QComboBox>

namespace orvasel {

class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);

    QStringList Items() const;
    void AddItem(const QString& text);
    void DeleteItem(int index);  // nothing when out of range

    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index);   // out of range: no entry selected; raises no change
    QString SelectedText() const;   // empty when nothing is selected

signals:
    void Change();
};

}  // namespace orvasel
