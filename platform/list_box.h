#pragma once
// A list box with a sorted property, whose click event comes with every change of its selection
// made by the user, by mouse or by keyboard, and never with one made by the program.
// The names live in one light list model: no object per name, so that a folder of many thousands
// of projects lists at the pace of the folder scan.
#include <QListView>
#include <QStringList>
#include <vector>

class QStringListModel;

namespace orvasel {

class ListBox : public QListView {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // Removes every item.
    void Clear();
    // Adds at the end, or, while sorted, at its place in the order of the names
    // (case-insensitive, in the user's language).
    void AddItem(const QString& text);
    // The same as adding each in turn, in one pass.
    void AddItems(const QStringList& texts);
    // Makes the items these names in the order of the names, each kept or removed or added in its
    // place, so that the selection and the view stay where they are; raises no click, not even when
    // the selected item goes.
    void SyncItems(const QStringList& texts);
    QStringList Items() const;
    int count() const;

    bool Sorted() const { return sorted_; }
    // Changing the property hands the items back one by one in their present order.
    void SetSorted(bool sorted);

    int ItemIndex() const;
    void SetItemIndex(int index);  // raises no click
    QString SelectedText() const;  // empty when nothing is selected

    // The items that hold this text, and where one of them is drawn.
    QModelIndexList findItems(const QString& text, Qt::MatchFlags flags) const;
    QRect visualItemRect(const QModelIndex& item) const { return visualRect(item); }

signals:
    void Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The names in their order, equal names in the order given.
    QStringList inNameOrder(const QStringList& names);
    // Replaces the items by these.
    void refill(const QStringList& texts);
    void refillKeepingSelection(const QStringList& texts);

    QStringListModel* names_;
    // The last names put in order, and where each of the names as given went.
    QStringList ordered_;
    std::vector<int> places_;
    bool sorted_ = false;
    int programmatic_ = 0;
};

}  // namespace orvasel
