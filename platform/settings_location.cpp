#include "platform/settings_location.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/program.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace orvasel::settings_location {
namespace {

const QString kFileName = QStringLiteral("Orvasel.you");

// Only a real attempt tells: the administrator may write wherever the permission bits say no,
// and a read-only medium or a missing folder says nothing through them.
bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral(".Orvasel-XXXXXX"));
    return probe.open();
}

QString userFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return folder.isEmpty() ? folder : QDir::toNativeSeparators(folder) + paths::separator();
}

}  // namespace

QString locate()
{
    const QString programFolder = program::programFolder();
    const QString user = userFolder();
    if (user.isEmpty() || canWriteIn(programFolder))
        return programFolder + kFileName;

    // The first run from a folder the program may not write in starts from the file installed
    // there; later runs keep their own file, which is never replaced here.
    // A folder that cannot be made shows at the first save, which reports why.
    const QString file = user + kFileName;
    QDir().mkpath(user);
    const auto installed = file_io::readWholeFile(paths::toFileSystem(programFolder + kFileName));
    if (installed.status == file_io::ReadStatus::Ok)
        file_io::createNewFile(paths::toFileSystem(file), installed.bytes);
    return file;
}

namespace {

constexpr int kBackupsKept = 10;

QString backupName(const QString& settingsFile, int number)
{
    return settingsFile + QStringLiteral(".bak") + (number > 1 ? QStringLiteral("-%1").arg(number) : QString());
}

// The first name free among the ten; all taken, the oldest goes to make room.
QString freeBackupName(const QString& settingsFile)
{
    QString oldest;
    QDateTime oldestTime;
    for (int number = 1; number <= kBackupsKept; ++number) {
        const QString name = backupName(settingsFile, number);
        const QFileInfo info(name);
        if (!info.exists() && !info.isSymLink())
            return name;
        if (oldest.isEmpty() || info.lastModified() < oldestTime) {
            oldest = name;
            oldestTime = info.lastModified();
        }
    }
    QFile::remove(oldest);
    return oldest;
}

}  // namespace

Kept keepBackup(const QString& settingsFile, std::string_view bytes)
{
    const QString backup = freeBackupName(settingsFile);
    const auto written = file_io::createNewFile(paths::toFileSystem(backup), bytes);
    if (written.ok)
        return {backup, {}};
    return {{}, QString::fromStdString(written.error)};
}

Kept moveAside(const QString& settingsFile)
{
    const QString backup = freeBackupName(settingsFile);
    QFile file(settingsFile);
    if (file.rename(backup))
        return {backup, {}};
    return {{}, file.errorString()};
}

struct WriteLock::Held {
    explicit Held(const QString& settingsFile) : lock(settingsFile + QStringLiteral(".lock"))
    {
        // Reading, merging and writing take a moment: a lock this old is a copy's that went wrong.
        lock.setStaleLockTime(10000);
    }
    QLockFile lock;
};

WriteLock::WriteLock(const QString& settingsFile) : held_(std::make_unique<Held>(settingsFile)) {}

WriteLock::~WriteLock() = default;

bool WriteLock::take(int withinMs)
{
    return held_->lock.tryLock(withinMs);
}

}  // namespace orvasel::settings_location
