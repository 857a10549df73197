// The window as it stands right after start-up, and the about box.
#include "support/window_test.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace orvasel::testing {
namespace {

class StartupTest : public WindowTest {};

TEST_F(StartupTest, MainWindowComesUpInItsDesignState)
{
    start();
    EXPECT_EQ(QApplication::applicationName(), "Orvasel");
    EXPECT_EQ(Form1->windowTitle(), "Orvasel");
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
    EXPECT_EQ(Form2->windowTitle(), "Infos         -----  Orvasel  ----");
    EXPECT_EQ(Form2->Label1->Caption(), "Des bugs?      Des Idées?");
    EXPECT_TRUE(Form1->isEnabled());

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
