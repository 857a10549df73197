#include "platform/settings_location.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/program.h"

#include <QDir>
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

QString backupOf(const QString& settingsFile)
{
    return settingsFile + QStringLiteral(".bak");
}

std::optional<QString> keepBackup(const QString& settingsFile, std::string_view bytes)
{
    const auto written = file_io::writeFileAtomically(paths::toFileSystem(backupOf(settingsFile)), bytes);
    if (written.ok)
        return std::nullopt;
    return QString::fromStdString(written.error);
}

}  // namespace orvasel::settings_location
