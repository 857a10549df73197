// Listing a folder's projects: the entry points, the order of the names, the prompts.
#include "support/window_test.h"

#include "platform/drives.h"

#include <QDir>

namespace orvasel::testing {
namespace {

const QStringList kLongPrompt{
    " ", " ", " ", " ",
    "                         <<",
    "                       <<      sélectionnez",
    "                      <<",
    "                     <<         un fichier",
    "                      <<",
    "                       <<      à consulter",
    "                         <<",
};
const QStringList kShortPrompt{
    " ", " ", " ", " ",
    "        <<",
    "       <<      sélectionnez",
    "      <<",
    "     <<         un fichier",
    "      <<",
    "       <<      à consulter",
    "        <<",
};

QString asEditorText(const QStringList& lines)
{
    return lines.join("\r\n") + "\r\n";
}

class NavigationTest : public WindowTest {
protected:
    // A folder of projects in letter cases of all kinds, with a folder and notes among them.
    QString makeMixedFolder()
    {
        const QString folder = makeFolder("Musique/Projets");
        for (const char* name : {"gamma.CPR", "Beta.cpr", ".cache.cpr", "alpha.cpr", "Beta.cpr.info",
                                 "alpha.cpr.info", "notes.txt", "song.cpr.bak"})
            writeFile(folder + "/" + name, "x");
        EXPECT_TRUE(QDir(folder).mkdir("Old.cpr"));
        return folder;
    }
};

TEST_F(NavigationTest, OpeningAFolderListsItsProjectsSortedWithoutRegardToCase)
{
    const QString folder = makeMixedFolder();
    start();
    Form1->Button3->setEnabled(false);
    openFolder(folder);

    EXPECT_EQ(Form1->ListBox2->Items(), QStringList({".cache.cpr", "alpha.cpr", "Beta.cpr", "gamma.CPR"}));
    EXPECT_EQ(Form1->ListBox2->ItemIndex(), -1);
    EXPECT_EQ(Form1->Label2->Caption(), folderText(folder));
    EXPECT_EQ(CurrentFolder, folderText(folder));
    EXPECT_EQ(Form1->Memo1->Text(), asEditorText(kLongPrompt));
    EXPECT_TRUE(Form1->Button3->isEnabled());

    // The next listing goes through the other side of the sorted property: same order.
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList({".cache.cpr", "alpha.cpr", "Beta.cpr", "gamma.CPR"}));
    EXPECT_EQ(Form1->Memo1->Text(), asEditorText(kShortPrompt));
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList({".cache.cpr", "alpha.cpr", "Beta.cpr", "gamma.CPR"}));
    EXPECT_EQ(Form1->Memo1->Text(), asEditorText(kShortPrompt));
}

TEST_F(NavigationTest, AFolderWithoutProjectsLeavesTheFormerFolderCurrent)
{
    const QString projects = makeMixedFolder();
    const QString empty = makeFolder("Vide");
    writeFile(empty + "/readme.txt", "x");
    start();
    openFolder(projects);
    Form1->Button3->setEnabled(false);

    openFolder(empty);
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_EQ(Form1->Label2->Caption(), folderText(empty));
    EXPECT_EQ(CurrentFolder, folderText(projects));
    EXPECT_FALSE(Form1->Button3->isEnabled());

    // "Rafraichir" goes back to the folder listed before; the folder list stays where it is.
    Form1->Button3->setEnabled(true);
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->count(), 4);
    EXPECT_EQ(Form1->Label2->Caption(), folderText(projects));
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(empty));
}

TEST_F(NavigationTest, RefreshingAFolderThatVanishedGivesAnEmptyListAndTheShortPrompt)
{
    const QString folder = makeMixedFolder();
    start();
    openFolder(folder);
    ASSERT_TRUE(QDir(workDir.filePath("Musique")).removeRecursively());
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_EQ(Form1->Memo1->Text(), asEditorText(kShortPrompt));
    EXPECT_EQ(CurrentFolder, folderText(folder));
}

TEST_F(NavigationTest, StartWithoutBookmarkListsNothingAndRefreshChangesNothing)
{
    start();
    const QString listAt = Form1->DirectoryListBox1->Directory();
    EXPECT_TRUE(Form1->Label2->Caption().isEmpty());
    EXPECT_EQ(Form1->Memo1->Text(), asEditorText(kLongPrompt));
    EXPECT_TRUE(Form1->Button3->isEnabled());
    EXPECT_TRUE(CurrentFolder.isEmpty());

    Form1->Memo1->SetText("reste");
    click(Form1->Button3);
    EXPECT_EQ(Form1->Memo1->Text(), "reste");
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), listAt);
}

TEST_F(NavigationTest, BookmarkListingCutsTheTextAndMovesTheFolderList)
{
    const QString folder = makeMixedFolder();
    const QString elsewhere = makeFolder("Ailleurs");
    start();
    openFolder(elsewhere);
    Form1->ComboBox1->AddItem(folderText(folder) + "reste sans séparateur");
    Form1->ComboBox2->AddItem("Projets");
    Form1->ComboBox1->SetItemIndex(0);
    Form1->ComboBox1Change(Form1);

    EXPECT_EQ(CurrentFolder, folderText(folder));
    EXPECT_EQ(Form1->Label2->Caption(), folderText(folder));
    EXPECT_EQ(Form1->ListBox2->count(), 4);
    EXPECT_EQ(Form1->ComboBox2->ItemIndex(), 0);
    // The uncut text names no folder: the folder list stays where it was.
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(elsewhere));

    // A bookmark of a folder without projects: its listing, then the moved folder list's own.
    const QString empty = makeFolder("Vide");
    Form1->ComboBox1->AddItem(folderText(empty));
    Form1->ComboBox2->AddItem("Vide");
    Form1->ComboBox1->SetItemIndex(1);
    Form1->ComboBox1Change(Form1);
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(empty));
    EXPECT_EQ(CurrentFolder, folderText(empty));
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_EQ(Form1->ComboBox2->ItemIndex(), 1);
}

TEST_F(NavigationTest, ARootFolderIsWrittenWithADoubledSeparator)
{
    start();
    const QString root = drives::rootOf(Form1->DirectoryListBox1->Drive());
    openFolder(root);
    EXPECT_EQ(Form1->Label2->Caption(), QDir::toNativeSeparators(root) + QDir::separator());

    Form1->ComboBox1->AddItem(Form1->Label2->Caption());
    Form1->ComboBox2->AddItem("Racine");
    Form1->ComboBox1->SetItemIndex(0);
    Form1->ComboBox1Change(Form1);
    EXPECT_EQ(CurrentFolder, QDir::toNativeSeparators(root) + QDir::separator());
}

TEST_F(NavigationTest, AListingLeavesTheSelectedProjectAlone)
{
    const QString folder = makeMixedFolder();
    start();
    CurrentProjectPath = "/ailleurs/Song.cpr";
    Form1->Button2->setEnabled(true);
    Form1->Button4->setEnabled(true);
    Form1->Edit1->setText("mix.wav");
    openFolder(folder);
    EXPECT_EQ(CurrentProjectPath, "/ailleurs/Song.cpr");
    EXPECT_TRUE(Form1->Button2->isEnabled());
    EXPECT_TRUE(Form1->Button4->isEnabled());
    EXPECT_EQ(Form1->Edit1->text(), "mix.wav");
    // The prompt is no note: nothing typed into it may be taken for one.
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
}

TEST_F(NavigationTest, UnreachableAndOverlongFoldersFindNothing)
{
    const QString folder = makeMixedFolder();
    start();
    openFolder(folder);
    openFolder(workDir.filePath("absent"));
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(folder));
    EXPECT_EQ(Form1->ListBox2->count(), 4);

    QString deep = workDir.path();
    while (deep.size() < 300)
        deep += "/dossier-de-projets-tres-long";
    ASSERT_TRUE(QDir().mkpath(deep));
    writeFile(deep + "/loin.cpr", "x");
    Form1->ComboBox1->AddItem(folderText(deep));
    Form1->ComboBox2->AddItem("Loin");
    Form1->ComboBox1->SetItemIndex(0);
    Form1->ComboBox1Change(Form1);
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_EQ(Form1->Label2->Caption(), folderText(deep));
}

TEST_F(NavigationTest, PickingADriveListsItsFolderAndTheSameDriveListsNothing)
{
    const QString folder = makeMixedFolder();
    start();
    openFolder(folder);
    Form1->DriveComboBox1->SetDrive(Form1->DirectoryListBox1->Drive());
    Form1->Memo1->SetText("inchangé");
    Form1->DriveComboBox1->SetDrive(Form1->DirectoryListBox1->Drive());
    EXPECT_EQ(Form1->Memo1->Text(), "inchangé");

    QString other;
    for (const QString& drive : drives::available())
        if (drive != Form1->DirectoryListBox1->Drive() && QDir(drives::rootOf(drive)).isReadable())
            other = drive;
    if (other.isEmpty())
        GTEST_SKIP() << "this machine offers a single drive";
    Form1->DriveComboBox1->SetDrive(other);
    EXPECT_EQ(Form1->DirectoryListBox1->Drive(), other);
    EXPECT_NE(Form1->Label2->Caption(), folderText(folder));
    // Coming back finds the folder last visited on the first drive.
    Form1->DriveComboBox1->SetDrive(drives::driveOf(QDir::toNativeSeparators(folder)));
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(folder));
}

}  // namespace
}  // namespace orvasel::testing
