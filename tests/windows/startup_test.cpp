// The window as it stands right after start-up, the about box, and errors at the top of the loop.
#include "support/window_test.h"

#include "app/application.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace orvasel::testing {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, TheWindowStartsEmptyInfosShowsOneAboutBoxAndErrorsAreShown)
{
    start();
    EXPECT_EQ(shownTitle(Form1), "Orvasel");
    const QImage icon(":/tests/orvasel.ico");  // the program's 16-colour icon, pixel for pixel
    EXPECT_EQ(Form1->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              icon.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    // Nothing to save or open yet, and no stored bookmark to list.
    EXPECT_FALSE(Form1->Button2->isEnabled() || Form1->Button4->isEnabled() || Form1->ComboBox1->isVisible());
    EXPECT_EQ(Form1->ListBox2->count(), 0);

    click(Form1->Button7);
    ASSERT_TRUE(Form2->isVisible());
    EXPECT_EQ(shownTitle(Form2), "Infos         -----  Orvasel  ----");
    EXPECT_EQ(Form2->Label1->Caption(), "Des bugs?      Des Idées?");
    // Kept above the main window, which stays usable beside it.
    EXPECT_TRUE(Form1->isEnabled());
    EXPECT_EQ(Form2->windowHandle()->transientParent(), Form1->windowHandle());
    EXPECT_FALSE(Form2->isModal());
    // One box only, brought back where the user left it.
    const int windows = QApplication::topLevelWidgets().size();
    Form2->move(300, 200);
    Form2->close();
    click(Form1->Button7);
    click(Form1->Button7);
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);
    EXPECT_EQ(Form2->pos(), QPoint(300, 200));

    // An error inside a handler is shown, and the loop goes on.
    struct Thrower : QObject {
        bool event(QEvent*) override { throw std::runtime_error("Accès refusé"); }
    } thrower;
    QApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QApplication::processEvents();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, Shown::Kind::Error);
    EXPECT_EQ(prompts.shown[0].text, "Accès refusé");
    EXPECT_EQ(prompts.shown[0].title, "Orvasel");
    Form2->close();
    click(Form1->Button7);
    EXPECT_TRUE(Form2->isVisible());
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
    EXPECT_EQ(Form2, nullptr);
    EXPECT_NE(readFile(settingsPath()), "<missing>");  // saved by the close request
}

// The real boxes and dialogs, answered as a user would (Yes to questions, Cancel to file dialogs):
// the titles the window system received, in order.
TEST_F(StartupTest, EveryBoxAndDialogShowsItsTitleAsWritten)
{
    start();
    QStringList titles;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || !box->isVisible())
            return;
        titles << shownTitle(box);
        if (auto* message = qobject_cast<QMessageBox*>(box))
            message->button(message->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok)->click();
        else if (auto* dialog = qobject_cast<QFileDialog*>(box))
            dialog->reject();
    });
    user.start(10);
    prompts::install(nullptr);
    CurrentProjectPath = folderText(workDir.path()) + "Chanson.cpr";
    Form1->Button4->setEnabled(true);
    for (QPushButton* button : {Form1->Button8, Form1->Button4, Form1->Button9})
        click(button);
    prompts::message(Form1, "Un message");
    prompts::error("Une erreur");
    EXPECT_EQ(titles, (QStringList{"Export Audio du projet en cours", "Confirmation", "Désignez l'emplacement de Cubase",
                                   "Confirmation", "Désignez l'emplacement du lecteur audio", "Orvasel", "Orvasel"}));
}

}  // namespace
}  // namespace orvasel::testing
