#include "forms/main/conflict_copy.h"

#include "platform/file_io.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QFileInfo>

using namespace orvasel;

namespace {

// The longest file name: 255 UTF-16 units on Windows, 255 bytes elsewhere.
constexpr qsizetype kLongestName = 255;

qsizetype nameLength(const QString& name)
{
#ifdef _WIN32
    return name.size();
#else
    return name.toUtf8().size();
#endif
}

// The information file's name, shortened before its ".cpr.info" until the suffix fits beside it.
QString fittingName(const QString& infoName, const QString& suffix)
{
    if (nameLength(infoName + suffix) <= kLongestName)
        return infoName;
    const qsizetype extension = infoName.lastIndexOf(QLatin1Char('.'), infoName.lastIndexOf(QLatin1Char('.')) - 1);
    const QString tail = QStringLiteral("~") + (extension > 0 ? infoName.mid(extension) : QString());
    QString stem = extension > 0 ? infoName.left(extension) : infoName;
    while (!stem.isEmpty() && nameLength(stem + tail + suffix) > kLongestName)
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
    return stem + tail;
}

}  // namespace

ConflictCopy keepConflictCopy(const QString& infoPath, const std::string& bytes)
{
    const QString folder = paths::folderPart(infoPath);
    const QString infoName = paths::fileNamePart(infoPath);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    file_io::WriteResult written;
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const QString suffix = QStringLiteral(".conflit-") + stamp +
                               (attempt > 1 ? QStringLiteral("-%1").arg(attempt) : QString());
        const QString name = fittingName(infoName, suffix) + suffix;
        written = file_io::createNewFile(paths::toFileSystem(folder + name), bytes);
        if (written.ok)
            return {name, {}};
        if (!QFileInfo::exists(folder + name))
            break;
    }
    return {{}, QString::fromStdString(written.error)};
}
