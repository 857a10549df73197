#pragma once
// The folder list: the current path from its root down, each folder open, then the subfolders of
// the current folder. Opening an entry (double click or Return) moves there. Every move of the
// current folder, by the user or by the program, raises the change event.
#include <QHash>
#include <QListWidget>

namespace orvasel {

class DirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget* parent = nullptr);

    // The current folder, without a final separator except at a root ("C:\", "/").
    QString Directory() const { return directory_; }
    // Moves to a folder; an empty text, or a folder that cannot be opened, leaves it where it is.
    void SetDirectory(const QString& folder);

    QString Drive() const;
    // Another drive: moves to the folder last visited on it (its root the first time).
    // Its own drive: nothing.
    void SetDrive(const QString& drive);

signals:
    void Change();

private:
    void fill();

    QString directory_;
    QHash<QString, QString> lastVisited_;  // drive -> folder
};

}  // namespace orvasel
