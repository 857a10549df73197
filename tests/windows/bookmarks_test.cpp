// Bookmarks through the real windows: naming, refusals, leaving the dialog, deleting, restarting.
#include "support/window_test.h"

#include <QApplication>
#include <QTest>
#include <QWindow>

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
    static void choose(int index)
    {
        Form1->ComboBox2->setCurrentIndex(index);
        emit Form1->ComboBox2->activated(index);
    }
    // The two lists must agree on the current bookmark.
    static int current()
    {
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), Form1->ComboBox2->ItemIndex());
        return Form1->ComboBox1->ItemIndex();
    }
};

TEST_F(BookmarkTest, TheNameIsAskedWhileTheMainWindowWaitsAndOnlyNamedFoldersAreKept)
{
    const QString empty = makeFolder("Vide"), songs = makeFolder("Chansons"), dropped = makeFolder("Abandonné");
    start();
    // A folder without project files can be bookmarked all the same; one character is no name.
    pressAdd(empty, "x");
    EXPECT_EQ(shownTitle(Form3), "Définir un signet");
    EXPECT_EQ(Form3->Label1->Caption(), "Quel nom voulez-vous donner à ce signet ?");
    // Above the waiting main window whatever the user clicks, and still taking the name.
    EXPECT_FALSE(Form1->isEnabled());
    EXPECT_EQ(Form3->windowHandle()->transientParent(), Form1->windowHandle());
    EXPECT_TRUE(Form3->isEnabled());
    click(Form3->Button1);
    pressAdd(songs, "  ");
    QTest::keyClick(Form3->Edit1, Qt::Key_Return);
    choose(0);
    // Escape and the dialog's close request leave without a bookmark.
    for (const bool escape : {true, false}) {
        pressAdd(dropped, "Oublié");
        escape ? QTest::keyClick(Form3->Edit1, Qt::Key_Escape) : void(Form3->close());
        EXPECT_TRUE(Form1->isEnabled());
        EXPECT_EQ(current(), 0);
    }
    // Closing the program while a name is asked drops the pending folder, so the file keeps the pairs.
    pressAdd(dropped);
    ASSERT_TRUE(requestClose());
    stop();

    start();
    EXPECT_EQ(Form1->ComboBox1->Items(), (QStringList{folderText(empty), folderText(songs)}));
    EXPECT_EQ(Form1->ComboBox2->Items(), (QStringList{folderText(empty), "  "}));
    EXPECT_EQ(current(), 0);
    // A folder already bookmarked is refused; another letter case is another folder; names may repeat.
    pressAdd(empty);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Ce signet est déjà référencé!");
    EXPECT_FALSE(Form3->isVisible());
    pressAdd(makeFolder("vide"), "  ");
    click(Form3->Button1);
    EXPECT_EQ(Form1->ComboBox2->Items(), (QStringList{folderText(empty), "  ", "  "}));
    EXPECT_EQ(current(), 2);
}

TEST_F(BookmarkTest, WhatTheSettingsFileCannotHoldIsRefusedWithTheReason)
{
    start();
    click(Form1->Button5);  // nothing on display yet
    EXPECT_TRUE(prompts.shown.back().text.contains("Aucun dossier"));
    std::vector<std::pair<QString, const char*>> refused{{makeFolder("ÅŒ 日本"), "日本"}};
#ifndef _WIN32
    refused.push_back({makeFolder("a\nb"), "saut de ligne"});  // Windows names hold no line break
#endif
    for (const auto& [folder, why] : refused) {
        pressAdd(folder);
        EXPECT_TRUE(prompts.shown.back().text.contains(why)) << why;
    }
    EXPECT_TRUE(Form1->ComboBox1->Items().isEmpty());

    // A refused name keeps the dialog open on it; counted in the file's single bytes, 254 accented letters fit.
    pressAdd(makeFolder("Démos"));
    const QString tooLong(255, QChar(u'é'));
    for (const auto& [name, why] : {std::pair<QString, QString>("EOF", "EOF"), {"Démo ♫", "♫"}, {tooLong, "254"}}) {
        Form3->Edit1->setText(name);
        click(Form3->Button1);
        EXPECT_TRUE(Form3->isVisible());
        EXPECT_TRUE(prompts.shown.back().text.contains(why)) << why.toStdString();
    }
    Form3->Edit1->setText(tooLong.left(254));
    click(Form3->Button1);
    pressAdd(makeFolder("Signé"), "SIG");  // "SIG" ends only the folders
    click(Form3->Button1);
    EXPECT_EQ(Form1->ComboBox2->Items(), (QStringList{tooLong.left(254), "SIG"}));
    EXPECT_EQ(prompts.shown.size(), 1 + refused.size() + 3);
}

TEST_F(BookmarkTest, DeletingAsksFirstAndMakesTheBookmarkBeforeCurrent)
{
    const QString one = folderText(makeFolder("Un")), two = folderText(makeFolder("Deux")), three = folderText(makeFolder("Trois"));
    writeFile(settingsPath(), QString("rien\r\n2\r\n%1\r\n%2\r\n%3\r\nSIG\r\nUn\r\nDeux\r\nTrois\r\nEOF\r\n\r\n")
                                  .arg(one, two, three).toStdString());
    start();
    click(Form1->Button6);  // any answer but Yes changes nothing
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Etes-vous sûr de vouloir supprimer ce signet?\n\n");
    EXPECT_EQ(prompts.shown[0].choice, prompts::Choice::YesNo);

    // Yes: the current bookmark goes, not the folder on display; deleting the first leaves none
    // current, and with none current nothing more goes.
    prompts.answers = {prompts::Answer::Yes, prompts::Answer::Yes, prompts::Answer::Yes};
    openFolder(makeFolder("Ailleurs"));
    click(Form1->Button6);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(CurrentFolder, two);
    choose(0);
    click(Form1->Button6);
    EXPECT_EQ(current(), -1);
    click(Form1->Button6);
    EXPECT_EQ(Form1->ComboBox1->Items(), QStringList{two});
    EXPECT_EQ(Form1->ComboBox2->Items(), QStringList{"Deux"});
}

}  // namespace
}  // namespace orvasel::testing
