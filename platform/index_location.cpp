#include "platform/index_location.h"

#include <QDir>
#include <QStandardPaths>

namespace orvasel::index_location {
namespace {

QString overriddenIndexFile;

}  // namespace

QString indexFile()
{
    if (!overriddenIndexFile.isEmpty())
        return overriddenIndexFile;
#ifdef _WIN32
    // %LOCALAPPDATA%, where the settings go too, and its Cache folder as Windows programs keep it.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Orvasel/Cache");
#else
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Orvasel");
#endif
    return QDir::toNativeSeparators(folder + QStringLiteral("/projets.sqlite"));
}

void overrideIndexFile(const QString& path)
{
    overriddenIndexFile = path;
}

}  // namespace orvasel::index_location
