// Listing a folder's projects: the entry points, the order of the names, the prompts.
#include "support/window_test.h"

#include "platform/drives.h"

#include <QApplication>
#include <QDir>
#include <optional>
#include <stdexcept>

namespace orvasel::testing {
namespace {

QString prompt(const QStringList& arrow)
{
    return QStringList({" ", " ", " ", " "}).join("\r\n") + "\r\n" + arrow.join("\r\n") + "\r\n";
}

const QString kLongPrompt = prompt({"                         <<", "                       <<      sélectionnez",
                                    "                      <<", "                     <<         un fichier",
                                    "                      <<", "                       <<      à consulter",
                                    "                         <<"});
const QString kShortPrompt = prompt({"        <<", "       <<      sélectionnez", "      <<",
                                     "     <<         un fichier", "      <<", "       <<      à consulter",
                                     "        <<"});
const QStringList kSorted{".cache.cpr", "alpha.cpr", "Beta.cpr", "gamma.CPR"};

class NavigationTest : public WindowTest {
protected:
    // Projects in letter cases of all kinds, a hidden one, a folder and notes among them.
    QString makeMixedFolder()
    {
        const QString folder = makeFolder("Musique/Projets");
        for (const char* name : {"gamma.CPR", "Beta.cpr", ".cache.cpr", "alpha.cpr", "Beta.cpr.info",
                                 "alpha.cpr.info", "notes.txt", "song.cpr.bak"})
            writeFile(folder + "/" + name, "x");
        EXPECT_TRUE(QDir(folder).mkdir("Old.cpr"));
        return folder;
    }

    void listBookmark(const QString& folder)
    {
        Form1->ComboBox1->AddItem(folder);
        Form1->ComboBox2->AddItem("signet");
        Form1->ComboBox1->SetItemIndex(Form1->ComboBox1->count() - 1);
        Form1->ComboBox1Change(Form1);
    }
};

TEST_F(NavigationTest, FoldersListTheirProjectsSortedWithTheirPrompt)
{
    const QString folder = makeMixedFolder();
    start();
    // The start lists no bookmark: nothing to refresh.
    EXPECT_EQ(Form1->Memo1->Text(), kLongPrompt);
    Form1->Memo1->SetText("reste");
    click(Form1->Button3);
    EXPECT_EQ(Form1->Memo1->Text(), "reste");
    Form1->Button3->setEnabled(false);
    openFolder(folder);
    EXPECT_EQ(Form1->ListBox2->Items(), kSorted);
    EXPECT_EQ(Form1->ListBox2->ItemIndex(), -1);
    EXPECT_EQ(Form1->Label2->Caption(), folderText(folder));
    EXPECT_EQ(CurrentFolder, folderText(folder));
    EXPECT_EQ(Form1->Memo1->Text(), kLongPrompt);
    EXPECT_TRUE(Form1->Button3->isEnabled());
    // Each listing goes through the other side of the sorted property: the same order every time.
    for (int refresh = 0; refresh < 2; ++refresh) {
        click(Form1->Button3);
        EXPECT_EQ(Form1->ListBox2->Items(), kSorted);
        EXPECT_EQ(Form1->Memo1->Text(), kShortPrompt);
    }
}

TEST_F(NavigationTest, AFolderWithoutProjectsLeavesTheFormerOneAndTheSelectedProjectCurrent)
{
    const QString projects = makeMixedFolder();
    const QString empty = makeFolder("Vide");
    start();
    openFolder(projects);
    CurrentProjectPath = "/ailleurs/Song.cpr";
    Form1->Button4->setEnabled(true);
    Form1->Edit1->setText("mix.wav");
    Form1->Button3->setEnabled(false);
    openFolder(workDir.filePath("absent"));  // unreachable: the folder list stays, nothing is listed
    openFolder(empty);
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    EXPECT_EQ(Form1->Label2->Caption(), folderText(empty));
    EXPECT_EQ(CurrentFolder, folderText(projects));
    EXPECT_FALSE(Form1->Button3->isEnabled());
    EXPECT_EQ(CurrentProjectPath, "/ailleurs/Song.cpr");
    EXPECT_TRUE(Form1->Button4->isEnabled());
    EXPECT_EQ(Form1->Edit1->text(), "mix.wav");

    // Refreshing goes back to the folder listed before; once it is gone, the list is empty.
    Form1->Button3->setEnabled(true);
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->count(), 4);
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(empty));
    ASSERT_TRUE(QDir(workDir.filePath("Musique")).removeRecursively());
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_EQ(Form1->Memo1->Text(), kShortPrompt);
    EXPECT_EQ(CurrentFolder, folderText(projects));
}

TEST_F(NavigationTest, BookmarksListTheirFolderAndMoveTheFolderList)
{
    const QString folder = makeMixedFolder();
    const QString empty = makeFolder("Vide");
    QString deep = workDir.path();
    while (deep.size() < 300)
        deep += "/dossier-de-projets-tres-long";
    ASSERT_TRUE(QDir().mkpath(deep));
    writeFile(deep + "/loin.cpr", "x");
    start();
    // Text after the last separator is cut; the uncut text names no folder to move to.
    listBookmark(folderText(folder) + "reste");
    EXPECT_EQ(CurrentFolder, folderText(folder));
    EXPECT_EQ(Form1->ListBox2->count(), 4);
    EXPECT_EQ(Form1->ComboBox2->ItemIndex(), 0);
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(workDir.path()));
    // A folder without projects: its own listing, then the moved folder list's, which empties the editor.
    listBookmark(folderText(empty));
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(empty));
    EXPECT_EQ(CurrentFolder, folderText(empty));
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_EQ(Form1->ComboBox2->ItemIndex(), 1);
    // A folder too long for the search finds nothing.
    listBookmark(folderText(deep));
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_EQ(CurrentFolder, folderText(deep));
}

TEST_F(NavigationTest, ListingsShowTheBusyCursorAndNeverLeaveItBehind)
{
    const QString folder = makeMixedFolder();
    start();
    // A handler that fails inside the listings of a bookmark, once the folder list has moved.
    std::optional<Qt::CursorShape> during;
    QObject::connect(Form1->DirectoryListBox1, &DirectoryListBox::Change, Form1, [&] {
        during = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
        throw std::runtime_error("panne");
    });
    EXPECT_THROW(listBookmark(folderText(folder)), std::runtime_error);
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Form1->ListBox2->Items(), kSorted);
}

TEST_F(NavigationTest, DrivesListTheirLastFolderAndRootsDoubleTheirSeparator)
{
    const QString folder = makeMixedFolder();
    start();
    openFolder(folder);
    Form1->Memo1->SetText("inchangé");
    Form1->DriveComboBox1->SetDrive(Form1->DirectoryListBox1->Drive());
    EXPECT_EQ(Form1->Memo1->Text(), "inchangé");
    const QString root = QDir::toNativeSeparators(drives::rootOf(Form1->DirectoryListBox1->Drive()));
    openFolder(root);
    EXPECT_EQ(Form1->Label2->Caption(), root + QDir::separator());

    QString other;
    for (const QString& drive : drives::available())
        if (drive != Form1->DirectoryListBox1->Drive() && QDir(drives::rootOf(drive)).isReadable())
            other = drive;
    if (other.isEmpty())
        GTEST_SKIP() << "this machine offers a single drive";
    openFolder(folder);
    Form1->DriveComboBox1->SetDrive(other);
    EXPECT_EQ(Form1->DirectoryListBox1->Drive(), other);
    Form1->DriveComboBox1->SetDrive(drives::driveOf(QDir::toNativeSeparators(folder)));
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(folder));
}

}  // namespace
}  // namespace orvasel::testing
