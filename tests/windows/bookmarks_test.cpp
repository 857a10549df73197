// Bookmarks through the real windows: adding and naming, refusals, cancelling the dialog,
// choosing and deleting.
#include "support/window_test.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <algorithm>

namespace orvasel::testing {
namespace {

using prompts::Answer;

class BookmarkTest : public WindowTest {
protected:
    // The folder becomes the folder on display, then "+ Ajouter +" is clicked.
    void pressAdd(const QString& path)
    {
        openFolder(path);
        click(Form1->Button5);
        QApplication::processEvents();
    }

    // Typed key by key where the test keyboard has the keys, pasted otherwise.
    void typeName(const QString& name)
    {
        if (std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; }))
            QTest::keyClicks(Form3->Edit1, name);
        else
            Form3->Edit1->insert(name);
    }

    void add(const QString& path, const QString& name)
    {
        pressAdd(path);
        ASSERT_TRUE(Form3->isVisible());
        typeName(name);
        click(Form3->Button1);
    }

    // Picks an entry of the visible list with the keyboard, as the user would.
    void choose(int index)
    {
        Form1->ComboBox2->setFocus();
        QTest::keyClick(Form1->ComboBox2, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(Form1->ComboBox2, Qt::Key_Down);
    }

    void deleteCurrent()
    {
        prompts.answers.push_back(Answer::Yes);
        click(Form1->Button6);
    }

    static QStringList folders() { return Form1->ComboBox1->Items(); }
    static QStringList names() { return Form1->ComboBox2->Items(); }

    // The current bookmark; the two lists must agree on it.
    static int current()
    {
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), Form1->ComboBox2->ItemIndex());
        return Form1->ComboBox1->ItemIndex();
    }

    size_t messageCount() const { return prompts.ofKind(Shown::Kind::Message).size(); }
    QString lastMessage() const { return prompts.ofKind(Shown::Kind::Message).back().text; }
};

TEST_F(BookmarkTest, AddingAsksTheNameWhileTheMainWindowWaitsThenListsTheFolder)
{
    const QString empty = makeFolder("Vide");
    const QString songs = makeFolder("Chansons");
    writeFile(songs + "/Ballade.cpr", "");
    start();

    // A folder without project files is on display but not listed: it can be bookmarked all the same.
    pressAdd(empty);
    ASSERT_TRUE(Form3->isVisible());
    EXPECT_EQ(Form3->windowTitle(), "Définir un signet");
    EXPECT_EQ(Form3->Label1->Caption(), "Quel nom voulez-vous donner à ce signet ?");
    EXPECT_FALSE(Form1->isEnabled());
    EXPECT_EQ(folders(), QStringList{folderText(empty)});
    EXPECT_TRUE(names().isEmpty());
    EXPECT_TRUE(CurrentFolder.isEmpty());

    typeName("Brouillons");
    click(Form3->Button1);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_TRUE(Form1->isEnabled());
    EXPECT_EQ(names(), QStringList{"Brouillons"});
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(CurrentFolder, folderText(empty));

    add(songs, "Chansons 2024");
    EXPECT_EQ(folders(), (QStringList{folderText(empty), folderText(songs)}));
    EXPECT_EQ(names(), (QStringList{"Brouillons", "Chansons 2024"}));
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(Form1->ComboBox2->currentText(), "Chansons 2024");
    EXPECT_EQ(CurrentFolder, folderText(songs));
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList{"Ballade.cpr"});
    EXPECT_EQ(messageCount(), 0u);
}

TEST_F(BookmarkTest, ShortNamesGiveTheFolderTextAndTwoCharactersAreKeptAsTyped)
{
    const QString a = makeFolder("A"), b = makeFolder("B"), c = makeFolder("C"), d = makeFolder("D");
    start();
    add(a, "");
    add(b, "x");
    add(c, "  ");
    // Return in the name field does what OK does, and the field is empty at each opening.
    pressAdd(d);
    EXPECT_TRUE(Form3->Edit1->text().isEmpty());
    typeName("Fin");
    QTest::keyClick(Form3->Edit1, Qt::Key_Return);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_TRUE(Form1->isEnabled());
    EXPECT_EQ(names(), (QStringList{folderText(a), folderText(b), "  ", "Fin"}));
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(CurrentFolder, folderText(d));
}

TEST_F(BookmarkTest, AFolderAlreadyBookmarkedIsRefusedButAnotherLetterCaseIsAnotherFolder)
{
    const QString upper = makeFolder("Projets"), lower = makeFolder("projets"), other = makeFolder("Autre");
    start();
    add(upper, "Projets");
    add(other, "Autre");

    pressAdd(upper);
    EXPECT_FALSE(Form3->isVisible());
    ASSERT_EQ(messageCount(), 1u);
    EXPECT_EQ(prompts.shown.back().title, "Orvasel");
    EXPECT_EQ(lastMessage(), "Ce signet est déjà référencé!");
    EXPECT_EQ(folders(), (QStringList{folderText(upper), folderText(other)}));
    EXPECT_EQ(names().size(), 2);
    EXPECT_EQ(current(), 1);
    EXPECT_TRUE(Form1->isEnabled());

    // Names may repeat.
    add(lower, "Projets");
    EXPECT_EQ(folders(), (QStringList{folderText(upper), folderText(other), folderText(lower)}));
    EXPECT_EQ(names(), (QStringList{"Projets", "Autre", "Projets"}));
    EXPECT_EQ(messageCount(), 1u);
}

TEST_F(BookmarkTest, FoldersTheSettingsFileCannotHoldAreRefusedBeforeTheDialog)
{
    // Before any folder is on display there is nothing to bookmark.
    start();
    click(Form1->Button5);
    EXPECT_FALSE(Form3->isVisible());
    ASSERT_EQ(messageCount(), 1u);
    EXPECT_TRUE(lastMessage().contains("Aucun dossier"));
    stop();

    const QString longName(200, QChar('l'));
    const QString tooLong = makeFolder(longName + "/" + longName);
    const QString foreign = makeFolder("Musique ÅŒ 日本");
    const QString broken = makeFolder("deux\nlignes");
    start();
    for (const QString& folder : {tooLong, foreign, broken}) {
        pressAdd(folder);
        EXPECT_EQ(Form1->Label2->Caption(), folderText(folder));
        EXPECT_FALSE(Form3->isVisible());
        EXPECT_TRUE(folders().isEmpty());
        EXPECT_TRUE(Form1->isEnabled());
    }
    const auto shown = prompts.ofKind(Shown::Kind::Message);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_TRUE(shown[1].text.contains("254"));
    EXPECT_TRUE(shown[2].text.contains("日本"));
    EXPECT_FALSE(shown[2].text.contains("Å"));
    EXPECT_TRUE(shown[3].text.contains("saut de ligne"));
}

TEST_F(BookmarkTest, ANameTheSettingsFileCannotHoldKeepsTheDialogOpen)
{
    const QString folder = makeFolder("Démos");
    start();
    pressAdd(folder);
    const QString tooLong(255, QChar(u'é'));
    for (const QString& name : {QString("EOF"), QString("Démo ♫"), tooLong}) {
        Form3->Edit1->clear();
        typeName(name);
        click(Form3->Button1);
        EXPECT_TRUE(Form3->isVisible());
        EXPECT_EQ(Form3->Edit1->text(), name);
        EXPECT_FALSE(Form1->isEnabled());
        EXPECT_TRUE(names().isEmpty());
    }
    EXPECT_EQ(messageCount(), 3u);
    EXPECT_TRUE(lastMessage().contains("254"));

    // Counted in the file's single bytes, 254 accented letters fit; "SIG" ends only the folders.
    Form3->Edit1->clear();
    typeName(tooLong.left(254));
    click(Form3->Button1);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(names(), QStringList{tooLong.left(254)});
    add(makeFolder("Signé"), "SIG");
    EXPECT_EQ(names().last(), "SIG");
    EXPECT_EQ(messageCount(), 3u);
}

TEST_F(BookmarkTest, LeavingTheDialogWithoutOkDropsThePendingFolderAndGivesTheWindowBack)
{
    const QString kept = makeFolder("Gardé"), second = makeFolder("Second"), dropped = makeFolder("Abandonné");
    start();
    add(kept, "Gardé");
    add(second, "Second");
    choose(0);

    // Escape, then the window's close request, each after a name was typed.
    for (const bool escape : {true, false}) {
        pressAdd(dropped);
        ASSERT_TRUE(Form3->isVisible());
        typeName("Oublié");
        if (escape)
            QTest::keyClick(Form3->Edit1, Qt::Key_Escape);
        else
            Form3->close();
        QApplication::processEvents();
        EXPECT_FALSE(Form3->isVisible());
        EXPECT_TRUE(Form1->isEnabled());
        EXPECT_EQ(folders(), (QStringList{folderText(kept), folderText(second)}));
        EXPECT_EQ(names(), (QStringList{"Gardé", "Second"}));
        EXPECT_EQ(current(), 0);
    }

    // With no bookmark current before, none is current after.
    deleteCurrent();
    openFolder(kept);
    pressAdd(dropped);
    ASSERT_TRUE(Form3->isVisible());
    QTest::keyClick(Form3->Edit1, Qt::Key_Escape);
    EXPECT_EQ(folders(), QStringList{folderText(second)});
    EXPECT_EQ(current(), -1);

    pressAdd(dropped);
    ASSERT_TRUE(Form3->isVisible());
    EXPECT_TRUE(Form3->Edit1->text().isEmpty());
    click(Form3->Button1);
    EXPECT_EQ(folders(), (QStringList{folderText(second), folderText(dropped)}));
    EXPECT_EQ(names(), (QStringList{"Second", folderText(dropped)}));
    EXPECT_EQ(current(), 1);
}

TEST_F(BookmarkTest, DeletingAsksFirstAndMakesTheBookmarkBeforeCurrent)
{
    start();
    // No bookmark at all: the question is still asked, and nothing is listed after Yes.
    deleteCurrent();
    ASSERT_EQ(prompts.ofKind(Shown::Kind::Confirmation).size(), 1u);
    EXPECT_EQ(prompts.shown.back().text, "Etes-vous sûr de vouloir supprimer ce signet?\n\n");
    EXPECT_EQ(prompts.shown.back().choice, prompts::Choice::YesNo);
    EXPECT_EQ(current(), -1);
    EXPECT_TRUE(Form1->Label2->Caption().isEmpty());

    const QString one = makeFolder("Un"), two = makeFolder("Deux"), three = makeFolder("Trois"),
                  four = makeFolder("Quatre"), elsewhere = makeFolder("Ailleurs");
    writeFile(two + "/Refrain.cpr", "");
    for (const QString& folder : {one, two, three, four})
        add(folder, QFileInfo(folder).fileName());

    // Any answer but Yes changes nothing.
    click(Form1->Button6);
    EXPECT_EQ(names().size(), 4);

    // The bookmark shown in the list is deleted, not the folder on display.
    choose(2);
    EXPECT_EQ(CurrentFolder, folderText(three));
    openFolder(elsewhere);
    deleteCurrent();
    EXPECT_EQ(folders(), (QStringList{folderText(one), folderText(two), folderText(four)}));
    EXPECT_EQ(names(), (QStringList{"Un", "Deux", "Quatre"}));
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(Form1->ComboBox2->currentText(), "Deux");
    EXPECT_EQ(CurrentFolder, folderText(two));
    EXPECT_EQ(Form1->Label2->Caption(), folderText(two));
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList{"Refrain.cpr"});

    choose(0);
    deleteCurrent();
    EXPECT_EQ(names(), (QStringList{"Deux", "Quatre"}));
    EXPECT_EQ(folders(), (QStringList{folderText(two), folderText(four)}));
    EXPECT_EQ(current(), -1);
    EXPECT_TRUE(CurrentFolder.isEmpty());

    // With none current, nothing is removed.
    deleteCurrent();
    EXPECT_EQ(names().size(), 2);

    choose(1);
    deleteCurrent();
    choose(0);
    deleteCurrent();
    EXPECT_TRUE(folders().isEmpty());
    EXPECT_TRUE(names().isEmpty());
    EXPECT_EQ(current(), -1);
    EXPECT_TRUE(Form1->ComboBox2->currentText().isEmpty());
    EXPECT_TRUE(Form1->isEnabled());
}

TEST_F(BookmarkTest, TheBookmarksSurviveARestartEachNameBesideItsFolder)
{
    const QString one = makeFolder("Répétitions"), two = makeFolder("Concert"), three = makeFolder("Maquettes");
    writeFile(two + "/Final.cpr", "");
    start();
    add(one, "Répét");
    add(two, "");
    add(three, "Démos é");
    choose(1);
    // Closing while a name is asked drops the pending folder first, so the file keeps the pairs.
    pressAdd(makeFolder("En attente"));
    ASSERT_TRUE(Form3->isVisible());
    ASSERT_TRUE(requestClose());
    EXPECT_FALSE(Form3->isVisible());
    stop();

    start();
    EXPECT_EQ(folders(), (QStringList{folderText(one), folderText(two), folderText(three)}));
    EXPECT_EQ(names(), (QStringList{"Répét", folderText(two), "Démos é"}));
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(CurrentFolder, folderText(two));
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList{"Final.cpr"});
    choose(2);
    EXPECT_EQ(CurrentFolder, folderText(three));
    choose(0);
    EXPECT_EQ(CurrentFolder, folderText(one));
    EXPECT_EQ(messageCount(), 0u);
}

TEST_F(BookmarkTest, EachStoredBookmarkOfTheSameFolderRefusesItOnce)
{
    const QString folder = makeFolder("Double");
    const std::string text = folderText(folder).toStdString();
    writeFile(settingsPath(), "rien\r\n0\r\n" + text + "\r\n" + text + "\r\nSIG\r\nA\r\nB\r\nEOF\r\n\r\n");
    start();
    openFolder(workDir.path());
    pressAdd(folder);
    EXPECT_FALSE(Form3->isVisible());
    EXPECT_EQ(messageCount(), 2u);
    EXPECT_EQ(folders().size(), 2);
    EXPECT_EQ(current(), 0);
}

}  // namespace
}  // namespace orvasel::testing
