#include "platform/shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace orvasel::shell {
namespace {

class SystemShell final : public Shell {
public:
    void execute(const Request& request) override
    {
        const QString path = request.directory + request.file;
        if (request.parameters.isEmpty())
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        else
            QProcess::startDetached(request.file, {request.parameters}, request.directory);
    }
};

}  // namespace

Shell& system()
{
    static SystemShell shell;
    return shell;
}

}  // namespace orvasel::shell
