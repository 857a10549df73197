// The window as it stands right after start-up, the about box, and errors at the top of the loop.
#include "support/window_test.h"

#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>

namespace orvasel::testing {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, TheWindowStartsEmptyInfosShowsOneAboutBoxAndErrorsAreShown)
{
    start();
    EXPECT_FALSE(Form1->Button2->isEnabled() || Form1->Button4->isEnabled() || Form1->ComboBox1->isVisible());
    // The window icon is the 16-colour picture of the program's .ico.
    EXPECT_EQ(Form1->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
              QImage(":/tests/orvasel.ico").convertToFormat(QImage::Format_ARGB32));

    // One box only, above the main window which stays usable.
    click(Form1->Button7);
    ASSERT_TRUE(Form2->isVisible());
    EXPECT_EQ(shownTitle(Form2), "Infos         -----  Orvasel  ----");
    EXPECT_TRUE(Form1->isEnabled());
    EXPECT_EQ(Form2->windowHandle()->transientParent(), Form1->windowHandle());
    const int windows = QApplication::topLevelWidgets().size();
    Form2->close();
    click(Form1->Button7);
    click(Form1->Button7);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);

    // An error inside a handler is shown, and the loop goes on.
    struct Thrower : QObject {
        bool event(QEvent*) override { throw std::runtime_error("Accès refusé"); }
    } thrower;
    QApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QApplication::processEvents();
    ASSERT_EQ(prompts.ofKind(Shown::Kind::Error).size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Accès refusé");
    Form2->close();
    click(Form1->Button7);
    EXPECT_TRUE(Form2->isVisible());
}

TEST_F(StartupTest, WithoutABookmarkTheFolderListShowsTheCurrentFolderUnlessItIsTheProgramsOwn)
{
    const auto shown = [] { return QFileInfo(Form1->DirectoryListBox1->Directory()).canonicalFilePath(); };
    // Started from a command line.
    start();
    EXPECT_EQ(shown(), QFileInfo(workDir.path()).canonicalFilePath());
    stop();
    // Started in its own folder, as the Start-menu shortcut or a double click on the program does.
    QDir::setCurrent(programDir.path());
    start();
#ifdef _WIN32
    const QString usersFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    const QString usersFolder = QDir::homePath();
#endif
    EXPECT_EQ(shown(), QFileInfo(usersFolder).canonicalFilePath());
}

TEST_F(StartupTest, TheProgramEndsWhenTheMainWindowClosesEvenWithTheAboutBoxOpen)
{
    QObject watchdog;  // still running after 5 s: fail rather than hang
    QTimer::singleShot(5000, &watchdog, [] { QApplication::exit(1); });
    QTimer::singleShot(0, [this] {
        click(Form1->Button7);
        Form1->close();
    });
    EXPECT_EQ(RunWindows(), 0);
    EXPECT_NE(readFile(settingsPath()), "<missing>");  // saved by the close request
}

}  // namespace
}  // namespace orvasel::testing
