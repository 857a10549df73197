#include "platform/shell.h"

#include "platform/paths.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFileInfo>

namespace orvasel::shell {
namespace {
Shell* installed = nullptr;
}

Shell& current()
{
    return installed ? *installed : system();
}

void install(Shell* replacement)
{
    installed = replacement;
}

void showInFileManager(QWidget* owner, const QString& folderText, const QString& fileName)
{
#ifdef _WIN32
    // Explorer takes "/select," and the quoted path as its command line.
    const QString selected = QStringLiteral("/select,\"%1\"").arg(QDir::toNativeSeparators(folderText + fileName));
    current().execute({owner, QStringLiteral("open"), QStringLiteral("explorer.exe"), selected, QString(), kRestore,
                       Target::Program});
#else
    Q_UNUSED(fileName);
    current().execute({owner, QStringLiteral("open"), paths::folderName(folderText), QString(), folderText, kRestore,
                       Target::Document});
#endif
}

QString pathOf(const Request& request)
{
    return QFileInfo(request.file).isAbsolute() ? request.file : request.directory + request.file;
}

void tellNotStarted(const Request& request, const QString& reason)
{
    const QString path = QDir::toNativeSeparators(pathOf(request));
    prompts::message(request.owner, request.target == Target::Document
                                        ? QStringLiteral("Impossible d'ouvrir %1 : %2.").arg(path, reason)
                                        : QStringLiteral("Impossible de démarrer %1 : %2.").arg(path, reason));
}

}  // namespace orvasel::shell
