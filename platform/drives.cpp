#include "platform/drives.h"

#include "platform/paths.h"

#include <QDir>
#include <QStorageInfo>

namespace orvasel::drives {

#ifdef _WIN32

QStringList available()
{
    QStringList drives;
    for (const QFileInfo& root : QDir::drives())
        drives << QDir::toNativeSeparators(root.absoluteFilePath()).left(2);
    return drives;
}

QString driveOf(const QString& folder)
{
    // A network share stands for its drive: "\\serveur\partage".
    const QString root = paths::folderName(folder);
    if (root.startsWith(QLatin1String("\\\\")))
        return root.section(QLatin1Char('\\'), 0, 3);
    return folder.left(2).toUpper();
}

QString rootOf(const QString& drive)
{
    return drive + QLatin1Char('\\');
}

#else

QStringList available()
{
    QStringList drives{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && !drives.contains(root))
            drives << root;
    }
    return drives;
}

QString driveOf(const QString& folder)
{
    QString best = QStringLiteral("/");
    for (const QString& drive : available()) {
        const QString prefix = drive.endsWith(QLatin1Char('/')) ? drive : drive + QLatin1Char('/');
        if ((folder == drive || folder.startsWith(prefix)) && drive.size() > best.size())
            best = drive;
    }
    return best;
}

QString rootOf(const QString& drive)
{
    return drive.endsWith(QLatin1Char('/')) ? drive : drive + QLatin1Char('/');
}

#endif

}  // namespace orvasel::drives
