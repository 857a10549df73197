#include "platform/disk_watch.h"

#include <QFileSystemWatcher>

#include <algorithm>

namespace orvasel {
namespace {

// A burst of changes settles within this time (a save: a temporary file written, then renamed)...
constexpr qint64 kSettleMs = 150;
// ...and no kind is told more often than this.
constexpr qint64 kPaceMs = 500;

}  // namespace

DiskWatch::Pacer::Pacer(DiskWatch* watch, void (DiskWatch::*notice)())
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, watch, [this, watch, notice] {
        watch->rewatch();
        emit(watch->*notice)();
        // The pace counts from the end of what the notice set off (a listing of a big folder).
        lastTold_.start();
    });
}

void DiskWatch::Pacer::changed()
{
    if (timer_.isActive())
        return;
    const qint64 sinceTold = lastTold_.isValid() ? lastTold_.elapsed() : kPaceMs;
    timer_.start(int(std::max(kSettleMs, kPaceMs - sinceTold)));
}

DiskWatch::DiskWatch(QObject* parent)
    : QObject(parent),
      watcher_(new QFileSystemWatcher(this)),
      folderPacer_(this, &DiskWatch::FolderChange),
      filePacer_(this, &DiskWatch::FileChange)
{
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        folderPacer_.changed();
        // A note replaced by a rename is seen by its folder only.
        if (!file_.isEmpty())
            filePacer_.changed();
    });
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { filePacer_.changed(); });
}

void DiskWatch::SetFolder(const QString& folder)
{
    watchInstead(folder_, folder);
}

void DiskWatch::SetFile(const QString& file)
{
    watchInstead(file_, file);
}

void DiskWatch::watchInstead(QString& watched, const QString& path)
{
    if (path == watched)
        return;
    if (!watched.isEmpty())
        watcher_->removePath(watched);
    watched = path;
    rewatch();
}

void DiskWatch::rewatch()
{
    // Watching what does not exist fails quietly; it is tried again at the next change.
    if (!folder_.isEmpty() && !watcher_->directories().contains(folder_))
        watcher_->addPath(folder_);
    if (!file_.isEmpty() && !watcher_->files().contains(file_))
        watcher_->addPath(file_);
}

}  // namespace orvasel
