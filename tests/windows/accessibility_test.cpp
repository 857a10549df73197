// The window as a screen reader, a keyboard user and a user of another system language meet it:
// what assistive technology reads of each control, the keys, and the French of Qt's own boxes.
#include "support/window_test.h"

#include <QAccessible>
#include <QDir>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace orvasel::testing {
namespace {

QString readerText(QWidget* widget, int child = -1)
{
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
    if (control && child >= 0)
        control = control->child(child);
    if (!control)
        return QStringLiteral("<none>");
    return control->text(QAccessible::Name) + QLatin1Char('|') + control->text(QAccessible::Value);
}

bool frenchQtTextsInstalled()
{
    for (const QString& folder : {QCoreApplication::applicationDirPath() + "/translations",
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)})
        if (QTranslator().load("qtbase_fr", folder))
            return true;
    return false;
}

class AccessibilityTest : public WindowTest {
protected:
    // A project folder whose name a reader could mangle, two projects with notes, a subfolder.
    QString makeProjects()
    {
        const QString folder = makeFolder("Rock & Roll");
        writeFile(folder + "/alpha.cpr", "x");
        writeFile(folder + "/alpha.cpr.info", "Note A\r\nEOF\r\n\r\n");
        writeFile(folder + "/Beta.cpr", "x");
        writeFile(folder + "/Beta.cpr.info", "Note B\r\nEOF\r\nmix.wav\r\n");
        writeFile(makeFolder("Rock & Roll/Sous") + "/gamma.cpr", "x");
        return folder;
    }
};

TEST_F(AccessibilityTest, AReaderGetsWhatEachControlShows)
{
    const QString folder = makeProjects();
    start();
    Form1->ComboBox1->AddItem(folderText(folder));
    Form1->ComboBox2->AddItem("Mes chansons");
    Form1->ComboBox2->SetItemIndex(0);
    openFolder(folder);
    selectProject("Beta.cpr");

    EXPECT_EQ(readerText(Form1->Label2), folderText(folder) + "|");
    EXPECT_EQ(readerText(Form1->Label1), "Dossier en cours: |");
    EXPECT_EQ(readerText(Form1->ListBox2, 1), "Beta.cpr|");
    EXPECT_TRUE(readerText(Form1->Memo1).contains("|Note B"));
    EXPECT_TRUE(readerText(Form1->Edit1).endsWith("|mix.wav"));
    EXPECT_TRUE(readerText(Form1->ComboBox2).contains("Mes chansons"));
    EXPECT_TRUE(readerText(Form1->DriveComboBox1).contains(Form1->DirectoryListBox1->Drive()));
    const int last = Form1->DirectoryListBox1->count() - 1;
    EXPECT_EQ(readerText(Form1->DirectoryListBox1, last), "Sous|");
    for (QPushButton* button : Form1->findChildren<QPushButton*>()) {
        if (button != Form1->Button8) {  // "...": its name says what it chooses
            EXPECT_EQ(readerText(button), button->text() + "|");
        }
    }
}

TEST_F(AccessibilityTest, TheKeyboardReachesEveryControlAndActsAsTheMouse)
{
    const QString folder = makeProjects();
    start();
    openFolder(folder);

    // Tab walks the enabled controls in their order and comes back round; the note lets it go.
    Form1->ListBox2->setFocus();
    QList<QWidget*> walked{QApplication::focusWidget()};
    for (int step = 0; step < 20 && walked.size() < 13; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget();
    }
    const QList<QWidget*> expected{Form1->ListBox2, Form1->Memo1, Form1->Button3, Form1->Button5,
                                   Form1->Button6, Form1->ComboBox2, Form1->Button7, Form1->DriveComboBox1,
                                   Form1->DirectoryListBox1, Form1->Edit1, Form1->Button8, Form1->Button9,
                                   Form1->ListBox2};
    EXPECT_EQ(walked, expected);

    // Arrows in the project list select and load, the loaded note taking the focus. The first
    // arrow selects the first project, which the caret stands on once the list has the focus.
    Form1->ListBox2->setFocus();
    QTest::keyClick(Form1->ListBox2, Qt::Key_Down);
    EXPECT_EQ(Form1->ListBox2->SelectedText(), "alpha.cpr");
    EXPECT_EQ(Form1->Memo1->Text(), "Note A\r\n");
    EXPECT_EQ(QApplication::focusWidget(), Form1->Memo1);
    QTest::keyClick(Form1->Memo1, Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(Form1->Memo1->Text(), "Note B\r\n");
    EXPECT_EQ(Form1->Edit1->text(), "mix.wav");

    // Return opens the folder under the cursor in the folder list, which lists it.
    Form1->DirectoryListBox1->setFocus();
    QTest::keyClick(Form1->DirectoryListBox1, Qt::Key_End);
    QTest::keyClick(Form1->DirectoryListBox1, Qt::Key_Return);
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(folder + "/Sous"));
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList{"gamma.cpr"});
}

// Run here under the system's language, and again by the next test under English.
TEST_F(AccessibilityTest, BoxesAnswerEscapeAndReturnWithFrenchButtons)
{
    if (!frenchQtTextsInstalled())
        GTEST_SKIP() << "Qt's French translations are not installed";
    prompts::install(nullptr);  // the real boxes
    struct Case {
        prompts::Choice choice;
        Qt::Key key;
        prompts::Answer answer;
        QStringList buttons;
    };
    const Case cases[] = {
        {prompts::Choice::OkCancel, Qt::Key_Escape, prompts::Answer::Cancel, {"OK", "Annuler"}},
        {prompts::Choice::OkCancel, Qt::Key_Return, prompts::Answer::Ok, {"OK", "Annuler"}},
        {prompts::Choice::YesNo, Qt::Key_Escape, prompts::Answer::No, {"Oui", "Non"}},
        {prompts::Choice::YesNo, Qt::Key_Return, prompts::Answer::Yes, {"Oui", "Non"}},
    };
    for (const Case& test : cases) {
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton* button : box->buttons())
                buttons << button->text().remove('&');
            QTest::keyClick(box, test.key);
        });
        EXPECT_EQ(prompts::confirm(nullptr, "Supprimer ?", test.choice), test.answer);
        buttons.sort();
        QStringList expected = test.buttons;
        expected.sort();
        EXPECT_EQ(buttons, expected);
    }
}

TEST_F(AccessibilityTest, BoxesStayFrenchUnderAnEnglishSystem)
{
    if (qEnvironmentVariableIsSet("ORVASEL_ENGLISH_RUN") || !frenchQtTextsInstalled())
        GTEST_SKIP() << "already the English run, or no French translations to load";
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANG", "LC_ALL", "LC_MESSAGES"})
        environment.insert(name, "en_US.UTF-8");
    environment.insert("LANGUAGE", "en_US");
    environment.insert("ORVASEL_ENGLISH_RUN", "1");
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=AccessibilityTest.BoxesAnswerEscapeAndReturnWithFrenchButtons"});
    ASSERT_TRUE(run.waitForFinished(60'000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
    EXPECT_FALSE(output.contains("SKIPPED")) << output.toStdString();
}

}  // namespace
}  // namespace orvasel::testing
