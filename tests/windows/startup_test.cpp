// The window as it stands right after start-up, and the about box.
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

class StartupTest : public WindowTest {};

TEST_F(StartupTest, MainWindowComesUpInItsDesignState)
{
    start();
    EXPECT_EQ(QApplication::applicationName(), "Orvasel");
    EXPECT_EQ(shownTitle(Form1), "Orvasel");
    // The window icon is the program's 16-colour icon, pixel for pixel.
    const QImage icon(":/tests/orvasel.ico");
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_TRUE(Form1->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied)
                == icon.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Form3->isVisible());

    EXPECT_FALSE(Form1->Button2->isEnabled());
    EXPECT_FALSE(Form1->Button4->isEnabled());
    EXPECT_FALSE(Form1->ComboBox1->isVisible());
    EXPECT_TRUE(Form1->ComboBox2->isEnabled());
    EXPECT_TRUE(Form1->Button5->isEnabled());
    EXPECT_TRUE(Form1->Button6->isEnabled());
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    // The start lists the stored bookmark's folder, here none: the prompt and "Rafraichir".
    EXPECT_TRUE(Form1->Button3->isEnabled());
    EXPECT_TRUE(Form1->Label2->Caption().isEmpty());
    EXPECT_TRUE(CurrentFolder.isEmpty());
    EXPECT_EQ(Form1->ListBox2->count(), 0);
}

TEST_F(StartupTest, TabOrderFollowsTheControlsOfTheWindow)
{
    start();
    const QList<QWidget*> expected{Form1->ListBox2, Form1->Memo1, Form1->Button2, Form1->Button3,
                                   Form1->Button4, Form1->ComboBox1, Form1->Button5, Form1->Button6,
                                   Form1->ComboBox2, Form1->Button7, Form1->DriveComboBox1,
                                   Form1->DirectoryListBox1, Form1->Edit1, Form1->Button8, Form1->Button9};
    // The chain also passes through inner widgets (scroll bars, the group box): keep the controls.
    QList<QWidget*> chain;
    QWidget* widget = Form1->ListBox2;
    do {
        if (expected.contains(widget) && !chain.contains(widget))
            chain << widget;
        widget = widget->nextInFocusChain();
    } while (widget != Form1->ListBox2);
    EXPECT_EQ(chain, expected);
}

TEST_F(StartupTest, InfosShowsOneAboutBoxAndBringsItBack)
{
    start();
    click(Form1->Button7);
    ASSERT_TRUE(Form2->isVisible());
    EXPECT_EQ(shownTitle(Form2), "Infos         -----  Orvasel  ----");
    EXPECT_EQ(Form2->Label1->Caption(), "Des bugs?      Des Idées?");
    EXPECT_TRUE(Form1->isEnabled());
    // Kept above the main window by the window system, which stays usable beside it.
    EXPECT_EQ(Form2->windowHandle()->transientParent(), Form1->windowHandle());
    EXPECT_EQ(Form2->windowType(), Qt::Dialog);
    EXPECT_FALSE(Form2->isModal());

    const int windows = QApplication::topLevelWidgets().size();
    Form2->move(300, 200);
    click(Form1->Button7);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows);

    Form2->close();
    EXPECT_FALSE(Form2->isVisible());
    click(Form1->Button7);
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(Form2->pos(), QPoint(300, 200));
}

TEST_F(StartupTest, TheProgramEndsWhenTheMainWindowClosesEvenWithTheAboutBoxOpen)
{
    bool stillRunning = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        stillRunning = true;
        QApplication::exit(1);
    });
    watchdog.start(5000);
    QTimer::singleShot(0, [this] {
        click(Form1->Button7);
        ASSERT_TRUE(Form2->isVisible());
        Form1->close();
    });
    EXPECT_EQ(RunWindows(), 0);
    EXPECT_FALSE(stillRunning);
    EXPECT_EQ(Form2, nullptr);
    EXPECT_NE(readFile(settingsPath()), "<missing>");  // saved by the close request
}

// The real boxes and dialogs, answered as a user would: Yes to every question, Cancel to every
// file dialog; the titles the window system received, in order.
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

TEST_F(StartupTest, AnErrorInsideAHandlerIsShownAndTheLoopGoesOn)
{
    start();
    struct Thrower : QObject {
        bool event(QEvent*) override { throw std::runtime_error("Accès refusé"); }
    } thrower;
    QApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QApplication::processEvents();
    const auto errors = prompts.ofKind(Shown::Kind::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, "Accès refusé");
    EXPECT_EQ(errors[0].title, "Orvasel");
    click(Form1->Button7);
    EXPECT_TRUE(Form2->isVisible());
}

}  // namespace
}  // namespace orvasel::testing
