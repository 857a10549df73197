// The desktop's own "open": on Windows the shell itself; elsewhere the desktop's opener for a
// document and a detached start for a program. What the request's file is comes with the request.
// Whatever cannot be started is told to the user.
#include "platform/shell.h"

#include <QWidget>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#endif

namespace orvasel::shell {
namespace {

#ifdef _WIN32

// The wide-character text the shell takes; nothing for an empty text, so that the shell uses its
// own default (no parameters, the current folder).
LPCWSTR wide(const QString& text)
{
    return text.isEmpty() ? nullptr : reinterpret_cast<LPCWSTR>(text.utf16());
}

// The shell's failure codes, in the user's words.
QString describe(INT_PTR code)
{
    switch (code) {
    case SE_ERR_FNF:
        return QStringLiteral("le fichier est introuvable");
    case SE_ERR_PNF:
        return QStringLiteral("le dossier est introuvable");
    case SE_ERR_ACCESSDENIED:
        return QStringLiteral("l'accès est refusé");
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
        return QStringLiteral("aucun programme n'est associé à ce type de fichier");
    case ERROR_BAD_FORMAT:
        return QStringLiteral("ce n'est pas un programme que Windows peut démarrer");
    default:
        return QStringLiteral("le système a répondu par l'erreur %1").arg(code);
    }
}

class SystemShell final : public Shell {
public:
    void execute(const Request& request) override
    {
        const HWND owner = request.owner ? reinterpret_cast<HWND>(request.owner->window()->winId()) : nullptr;
        const auto code = reinterpret_cast<INT_PTR>(ShellExecuteW(owner, wide(request.operation), wide(request.file),
                                                                  wide(request.parameters), wide(request.directory),
                                                                  request.showCommand));
        // Above 32 the shell has handed the request over.
        if (code <= 32)
            tellNotStarted(request, describe(code));
    }
};

#else

#ifdef __APPLE__
const QString kOpener = QStringLiteral("open");
#else
const QString kOpener = QStringLiteral("xdg-open");
#endif

// Why a start failed, as far as the file system tells.
QString whyNotStarted(const Request& request, const QString& path)
{
    if (!request.directory.isEmpty() && !QFileInfo(request.directory).isDir())
        return QStringLiteral("le dossier %1 est introuvable").arg(request.directory);
    if (!QFileInfo::exists(path))
        return QStringLiteral("le fichier est introuvable");
    return request.target == Target::Program ? QStringLiteral("ce fichier n'est pas un programme exécutable")
                                              : QStringLiteral("le programme d'ouverture du bureau (%1) "
                                                               "n'a pas pu être lancé").arg(kOpener);
}

// The desktop's opener hands the document to the program associated with its type. It is watched
// until it ends, because only its exit code tells whether a program was found. Some openers wait
// for the program they started: one still running when the program ends is let go, not stopped.
void openDocument(const Request& request, const QString& path)
{
    auto* opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(kOpener);
    opener->setArguments({path});
    opener->setWorkingDirectory(request.directory);
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    const QPointer<QWidget> owner = request.owner;
    const auto tell = [request, owner](const QString& reason) {
        // While the program ends, nobody is there to read it.
        if (QCoreApplication::closingDown())
            return;
        Request told = request;
        told.owner = owner;
        tellNotStarted(told, reason);
    };
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, request, path, tell](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        tell(whyNotStarted(request, path));
        opener->deleteLater();
    });
    QObject::connect(opener, &QProcess::finished, opener, [opener, request, path, tell](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0)
            tell(QFileInfo::exists(path) ? QStringLiteral("aucun programme associé à ce type de fichier n'a pu l'ouvrir")
                                         : whyNotStarted(request, path));
        opener->deleteLater();
    });
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, opener, [opener] {
        opener->disconnect();
        opener->setParent(nullptr);
    });
    opener->start();
}

class SystemShell final : public Shell {
public:
    void execute(const Request& request) override
    {
        const QString path = pathOf(request);
        if (request.target == Target::Document) {
            openDocument(request, path);
            return;
        }
        // One argument, whatever spaces it holds.
        const QStringList arguments = request.parameters.isEmpty() ? QStringList() : QStringList{request.parameters};
        if (!QProcess::startDetached(path, arguments, request.directory))
            tellNotStarted(request, whyNotStarted(request, path));
    }
};

#endif

}  // namespace

Shell& system()
{
    static SystemShell shell;
    return shell;
}

}  // namespace orvasel::shell
