#include "platform/program.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>

namespace orvasel::program {
namespace {
QString overridden;
}

QString programFolder()
{
    if (!overridden.isEmpty())
        return overridden;
    // The system's own record of the executable, not argument 0, which may be a bare name or a link.
    QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (!folder.endsWith(paths::separator()))
        folder += paths::separator();
    return folder;
}

void overrideProgramFolder(const QString& folder)
{
    overridden = folder;
}

}  // namespace orvasel::program
