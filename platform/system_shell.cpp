// The desktop's own "open": on Windows the shell itself; elsewhere the desktop's opener for a
// document and a detached start for a program. Whatever cannot be started passes in silence, as
// the Windows shell does when the program does not report its failure.
#include "platform/shell.h"

#include <QProcess>
#include <QWidget>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <QFileInfo>
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

class SystemShell final : public Shell {
public:
    void execute(const Request& request) override
    {
        const HWND owner = request.owner ? reinterpret_cast<HWND>(request.owner->window()->winId()) : nullptr;
        ShellExecuteW(owner, wide(request.operation), wide(request.file), wide(request.parameters),
                      wide(request.directory), request.showCommand);
    }
};

#else

// A request names a program when it carries a parameter text (only a program takes one) or when
// its file is an executable regular file (a player started with nothing to play). Anything else
// is a document, opened with the application the desktop associates with its type.
bool namesProgram(const Request& request, const QString& path)
{
    if (!request.parameters.isEmpty())
        return true;
    const QFileInfo file(path);
    return file.isFile() && file.isExecutable();
}

class SystemShell final : public Shell {
public:
    void execute(const Request& request) override
    {
        // The file is either a full path or a name inside the working folder, as the Windows shell
        // takes it.
        const QString path = QFileInfo(request.file).isAbsolute() ? request.file : request.directory + request.file;
        if (namesProgram(request, path)) {
            // One argument, whatever spaces it holds.
            const QStringList arguments = request.parameters.isEmpty() ? QStringList() : QStringList{request.parameters};
            QProcess::startDetached(path, arguments, request.directory);
            return;
        }
#ifdef __APPLE__
        QProcess::startDetached(QStringLiteral("open"), {path}, request.directory);
#else
        QProcess::startDetached(QStringLiteral("xdg-open"), {path}, request.directory);
#endif
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
