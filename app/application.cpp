#include "app/application.h"

#include "forms/about/TForm2.h"
#include "forms/bookmark/TForm3.h"
#include "forms/main/TForm1.h"
#include "forms/main/state.h"
#include "platform/look.h"
#include "platform/prompts.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <exception>

namespace orvasel {
namespace {

void showException(const std::exception_ptr& raised)
{
    try {
        std::rethrow_exception(raised);
    } catch (const std::exception& error) {
        prompts::error(QString::fromLocal8Bit(error.what()));
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

}  // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Orvasel"));
    setApplicationDisplayName(QStringLiteral("Orvasel"));
    setWindowIcon(QIcon(QStringLiteral(":/orvasel.png")));
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
    InitialiseMainWindowState();
    Form1 = new TForm1;
    Form2 = new TForm2;
    Form3 = new TForm3;
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

int Run(int argc, char** argv)
{
    Application application(argc, argv);
    try {
        CreateWindows();
        Form1->show();
        application.exec();
    } catch (...) {
        showException(std::current_exception());
    }
    DestroyWindows();
    return 0;
}

}  // namespace orvasel
