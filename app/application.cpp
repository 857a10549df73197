#include "app/application.h"

#include "forms/about/TForm2.h"
#include "forms/bookmark/TForm3.h"
#include "forms/main/TForm1.h"
#include "forms/main/state.h"
#include "forms/search/entry.h"
#include "platform/look.h"
#include "platform/program.h"
#include "platform/prompts.h"

#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>
#include <QWindow>
#include <exception>

namespace orvasel {
namespace {

void showException(const std::exception_ptr& raised)
{
    try {
        std::rethrow_exception(raised);
    } catch (const std::exception& error) {
        // The program's own messages are UTF-8 on every system, whatever the locale's code page.
        prompts::error(QString::fromUtf8(error.what()));
    } catch (...) {
        prompts::error(QString());
    }
}

// Qt's own texts ("Annuler", "Oui"…) in French like the rest of the program, whatever the
// system's language: from the "translations" folder beside the program (where the Windows package
// puts them), else from Qt's own. Without French ones, the system's language is the next best.
void loadTranslations(QApplication& application)
{
    const QString folders[] = {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    auto* translator = new QTranslator(&application);
    for (const QLocale& language : {QLocale(QLocale::French, QLocale::France), QLocale()}) {
        for (const QString& folder : folders) {
            if (translator->load(language, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
                application.installTranslator(translator);
                return;
            }
        }
    }
    delete translator;
}

// Started in its own folder (the working folder of the Start-menu shortcut, or a double click on
// the program), Orvasel would first show the user its own files: it starts in the user's Documents
// folder on Windows, their home folder elsewhere. Any other working folder was chosen by the user,
// at a command line say, and is kept.
void leaveProgramFolder()
{
    if (QDir(QDir::currentPath()) != QDir(program::programFolder()))
        return;
#ifdef _WIN32
    const QString usersFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    const QString usersFolder = QDir::homePath();
#endif
    if (!QDir::setCurrent(usersFolder))
        QDir::setCurrent(QDir::homePath());
}

// A secondary window is owned by the main window, as a dialog is by the window it belongs to: the
// window system keeps it above its owner (on Windows as on X11), it ends with the program, and it
// takes no place of its own among the program's windows. It is not made a child, which would
// disable it together with the main window while a bookmark is named.
void ownedByMainWindow(QWidget* window)
{
    Form1->winId();  // the platform windows, so that the link can be made before anything is shown
    window->winId();
    window->windowHandle()->setTransientParent(Form1->windowHandle());
    // The program ends when the main window closes, whatever else is still shown.
    window->setAttribute(Qt::WA_QuitOnClose, false);
}

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // The title of the taskbar button. No display name: Qt would append it to every window title.
    setApplicationName(QStringLiteral("Orvasel"));
    setWindowIcon(look::programIcon());
    setFont(look::defaultFont());
    loadTranslations(*this);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showException(std::current_exception());
        return false;
    }
}

void CreateWindows()
{
    leaveProgramFolder();
    InitialiseMainWindowState();
    Form1 = new TForm1;
    InstallSearchShortcuts(Form1);
    Form2 = new TForm2;
    ownedByMainWindow(Form2);
    Form3 = new TForm3;
    ownedByMainWindow(Form3);
}

void DestroyWindows()
{
    delete Form3;
    delete Form2;
    delete Form1;
    Form3 = nullptr;
    Form2 = nullptr;
    Form1 = nullptr;
    InitialiseMainWindowState();
}

int RunWindows()
{
    try {
        CreateWindows();
        Form1->show();
        QApplication::exec();
    } catch (...) {
        showException(std::current_exception());
    }
    DestroyWindows();
    return 0;
}

int Run(int argc, char** argv)
{
    Application application(argc, argv);
    return RunWindows();
}

}  // namespace orvasel
