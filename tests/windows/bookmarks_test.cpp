// Bookmarks through the real windows: naming, refusals, leaving the dialog, deleting, restarting.
#include "support/window_test.h"

#include <QApplication>
#include <QTest>

namespace orvasel::testing {
namespace {

class BookmarkTest : public WindowTest {
protected:
    // The folder goes on display, "+ Ajouter +" is clicked, and the name is typed if the dialog opened.
    void pressAdd(const QString& path, const QString& name = {})
    {
        openFolder(path);
        click(Form1->Button5);
        QApplication::processEvents();  // the dialog's activation disables the main window
        Form3->Edit1->insert(name);
    }
};

TEST_F(BookmarkTest, TheNameIsAskedWhileTheMainWindowWaitsAndOnlyNamedStorableFoldersAreKept)
{
    const QString empty = makeFolder("Vide"), songs = makeFolder("Chansons"), dropped = makeFolder("Abandonné");
    start();
    // A folder without project files can be bookmarked all the same; one character is no name.
    pressAdd(empty, "x");
    EXPECT_EQ(shownTitle(Form3), "Définir un signet");
    EXPECT_FALSE(Form1->isEnabled());
    click(Form3->Button1);
    pressAdd(songs, "Chansons");
    QTest::keyClick(Form3->Edit1, Qt::Key_Return);
    pressAdd(dropped, "Oublié");
    QTest::keyClick(Form3->Edit1, Qt::Key_Escape);
    EXPECT_TRUE(Form1->isEnabled());
    // Closing the program while a name is asked drops the pending folder, so the file keeps the pairs.
    pressAdd(dropped);
    ASSERT_TRUE(requestClose());
    stop();

    start();
    EXPECT_EQ(Form1->ComboBox1->Items(), (QStringList{folderText(empty), folderText(songs)}));
    EXPECT_EQ(Form1->ComboBox2->Items(), (QStringList{folderText(empty), "Chansons"}));
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 1);
    pressAdd(empty);  // already bookmarked
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.contains("déjà"));
    EXPECT_FALSE(Form3->isVisible());

    // What the settings file cannot hold is refused with the reason: folders at once, names in the dialog.
    pressAdd(makeFolder("ÅŒ 日本"));
    EXPECT_TRUE(prompts.shown.back().text.contains("日本"));
#ifndef _WIN32
    pressAdd(makeFolder("a\nb"));  // Windows names hold no line break
    EXPECT_TRUE(prompts.shown.back().text.contains("saut de ligne"));
#endif
    pressAdd(makeFolder("Démos"), "EOF");
    click(Form3->Button1);
    EXPECT_TRUE(prompts.shown.back().text.contains("EOF"));
    // Counted in the file's single bytes, 254 accented letters fit.
    const QString tooLong(255, QChar(u'é'));
    Form3->Edit1->setText(tooLong);
    click(Form3->Button1);
    EXPECT_TRUE(Form3->isVisible() && prompts.shown.back().text.contains("254"));
    Form3->Edit1->setText(tooLong.left(254));
    click(Form3->Button1);
    EXPECT_EQ(Form1->ComboBox2->Items(), (QStringList{folderText(empty), "Chansons", tooLong.left(254)}));
}

TEST_F(BookmarkTest, DeletingAsksFirstAndMakesTheBookmarkBeforeCurrent)
{
    const QString one = folderText(makeFolder("Un")), two = folderText(makeFolder("Deux")), three = folderText(makeFolder("Trois"));
    writeFile(settingsPath(), QString("rien\r\n1\r\n%1\r\n%2\r\n%3\r\nSIG\r\nUn\r\nDeux\r\nTrois\r\nEOF\r\n\r\n")
                                  .arg(one, two, three).toStdString());
    start();
    click(Form1->Button6);  // any answer but Yes changes nothing
    ASSERT_EQ(prompts.ofKind(Shown::Kind::Confirmation).size(), 1u);
    // Yes: the current bookmark goes, not the folder on display; deleting the first leaves none current,
    // and with none current nothing more goes.
    prompts.answers = {prompts::Answer::Yes, prompts::Answer::Yes, prompts::Answer::Yes};
    openFolder(makeFolder("Ailleurs"));
    click(Form1->Button6);
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 0);
    click(Form1->Button6);
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), -1);
    click(Form1->Button6);
    EXPECT_EQ(Form1->ComboBox1->Items(), QStringList{three});
    EXPECT_EQ(Form1->ComboBox2->Items(), QStringList{"Trois"});
}

TEST_F(BookmarkTest, ANameConfirmedWhileTheNoteIsUnsavedNeverEmptiesTheEditor)
{
    const QString songs = makeFolder("Chansons");
    writeFile(songs + "/Song.cpr", "cubase");
    start();
    openFolder(songs);
    selectProject("Song.cpr");
    pressAdd(songs, "Chansons");
    // A window manager that never gave the dialog the focus: the main window stayed usable.
    Form1->setEnabled(true);
    typeInNote("mot tape");
    click(Form3->Button1);
    EXPECT_EQ(Form1->Memo1->Text(), "mot tape");
    EXPECT_TRUE(Form1->Button2->isEnabled() && !Form1->Button3->isEnabled());
    EXPECT_EQ(Form1->ComboBox2->Items(), QStringList{"Chansons"});
    click(Form1->Button2);
    EXPECT_EQ(readFile(songs + "/Song.cpr.info"), "mot tape\r\nEOF\r\n\r\n");
}

}  // namespace
}  // namespace orvasel::testing
