#pragma once
// Tells when the listed folder or the shown note changes on disk, whoever changed it: Cubase saving
// a project, a sync client, another computer, another copy of the program. Changes come in bursts
// (a save writes a temporary file, then renames it): each kind is told once a burst has settled,
// and at most every half second, so that a busy folder costs one listing per half second at most.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QFileSystemWatcher;

namespace orvasel {

class DiskWatch : public QObject {
    Q_OBJECT
public:
    explicit DiskWatch(QObject* parent = nullptr);

    // What is watched; an empty text watches nothing of that kind.
    void SetFolder(const QString& folder);
    void SetFile(const QString& file);

signals:
    void FolderChange();
    void FileChange();

private:
    // Holds back the notices of one kind until the burst settles or the pace allows.
    class Pacer {
    public:
        Pacer(DiskWatch* watch, void (DiskWatch::*notice)());
        void changed();

    private:
        QTimer timer_;
        QElapsedTimer lastTold_;
    };

    void watchInstead(QString& watched, const QString& path);
    // A file replaced by a rename, or a folder or file that came back, is watched anew.
    void rewatch();

    QFileSystemWatcher* watcher_;
    QString folder_;
    QString file_;
    Pacer folderPacer_;
    Pacer filePacer_;
};

}  // namespace orvasel
