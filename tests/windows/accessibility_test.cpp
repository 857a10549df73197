// The window as a screen reader, a keyboard user and a user of an English system meet it.
#include "support/window_test.h"

#include <QAccessible>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace orvasel::testing {
namespace {

using AccessibilityTest = WindowTest;

TEST_F(AccessibilityTest, AReaderGetsTheFolderAndTheKeyboardActsAsTheMouse)
{
    const QString folder = makeFolder("Rock & Roll");  // a name a reader could mangle
    makeFolder("Rock & Roll/Sous");
    for (const char* name : {"alpha.cpr", "Beta.cpr", "Sous/gamma.cpr"})
        writeFile(folder + "/" + name, "x");
    writeFile(folder + "/alpha.cpr.info", "Note A\r\nEOF\r\n\r\n");
    start();
    openFolder(folder);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Form1->Label2)->text(QAccessible::Name), folderText(folder));

    // An arrow in the project list selects and loads, the first one the project under the caret.
    QTest::keyClick(Form1->ListBox2, Qt::Key_Down);
    EXPECT_EQ(Form1->Memo1->Text(), "Note A\r\n");
    // Tab leaves the note, editable now, for the next control.
    QTest::keyClick(Form1->Memo1, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Form1->Button3);
    // Return opens the folder under the cursor in the folder list, which lists it.
    Form1->DirectoryListBox1->setFocus();
    QTest::keyClick(Form1->DirectoryListBox1, Qt::Key_End);
    QTest::keyClick(Form1->DirectoryListBox1, Qt::Key_Return);
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList{"gamma.cpr"});
}

// Run under the system's language, then again, by itself, under English.
TEST_F(AccessibilityTest, BoxesAnswerEscapeAndReturnWithFrenchButtonsUnderAnyLanguage)
{
    if (!QTranslator().load("qtbase_fr", QCoreApplication::applicationDirPath() + "/translations") &&
        !QTranslator().load("qtbase_fr", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        GTEST_SKIP() << "Qt's French translations are not installed";
    prompts::install(nullptr);  // the real boxes
    const std::tuple<prompts::Choice, Qt::Key, prompts::Answer, QStringList> cases[] = {
        {prompts::Choice::OkCancel, Qt::Key_Escape, prompts::Answer::Cancel, {"Annuler", "OK"}},
        {prompts::Choice::YesNo, Qt::Key_Return, prompts::Answer::Yes, {"Non", "Oui"}}};
    for (const auto& [choice, key, answer, expected] : cases) {
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                for (QAbstractButton* button : box->buttons())
                    buttons << button->text().remove('&');
                QTest::keyClick(box, key);
            }
        });
        EXPECT_EQ(prompts::confirm(nullptr, "Supprimer ?", choice), answer);
        buttons.sort();
        EXPECT_EQ(buttons, expected);
    }
    if (qEnvironmentVariableIsSet("ORVASEL_ENGLISH_RUN"))
        return;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE", "ORVASEL_ENGLISH_RUN"})
        environment.insert(name, "en_US.UTF-8");
    QProcess run;
    run.setProcessEnvironment(environment);
    run.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=AccessibilityTest.BoxesAnswerEscapeAndReturnWithFrenchButtonsUnderAnyLanguage"});
    ASSERT_TRUE(run.waitForFinished(60'000));
    const QString output = QString::fromLocal8Bit(run.readAll());
    EXPECT_TRUE(run.exitCode() == 0 && !output.contains("SKIPPED")) << output.toStdString();
}

}  // namespace
}  // namespace orvasel::testing
