// Listing a folder's projects: the order of the names, the prompts, bookmarks and drives.
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
    return " \r\n \r\n \r\n \r\n" + arrow.join("\r\n") + "\r\n";
}

const QString kLongPrompt = prompt({"                         <<", "                       <<      sélectionnez",
                                    "                      <<", "                     <<         un fichier",
                                    "                      <<", "                       <<      à consulter",
                                    "                         <<"});
const QString kShortPrompt = prompt({"        <<", "       <<      sélectionnez", "      <<",
                                     "     <<         un fichier", "      <<", "       <<      à consulter",
                                     "        <<"});

class NavigationTest : public WindowTest {
protected:
    // Projects in letter cases of all kinds, a hidden one, a folder and other files among them.
    QString makeMixedFolder()
    {
        const QString folder = makeFolder("Musique/Projets");
        for (const char* name : {"gamma.CPR", "Beta.cpr", ".cache.cpr", "alpha.cpr", "alpha.cpr.info", "song.cpr.bak"})
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

TEST_F(NavigationTest, FoldersListTheirProjectsSortedAndAnEmptyOneLeavesTheFormerCurrent)
{
    const QString folder = makeMixedFolder();
    const QString empty = makeFolder("Vide");
    start();
    Form1->Button3->setEnabled(false);
    openFolder(folder);
    const QStringList sorted{".cache.cpr", "alpha.cpr", "Beta.cpr", "gamma.CPR"};
    EXPECT_EQ(Form1->ListBox2->Items(), sorted);
    EXPECT_EQ(Form1->Memo1->Text(), kLongPrompt);
    EXPECT_TRUE(Form1->Button3->isEnabled());
    // Each listing flips the sorted property: the same order every time.
    for (int refresh = 0; refresh < 2; ++refresh) {
        click(Form1->Button3);
        EXPECT_EQ(Form1->ListBox2->Items(), sorted);
        EXPECT_EQ(Form1->Memo1->Text(), kShortPrompt);
    }

    CurrentProjectPath = "/ailleurs/Song.cpr";
    Form1->Button3->setEnabled(false);
    openFolder(workDir.filePath("absent"));  // unreachable: nothing is listed
    openFolder(empty);
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty() && Form1->Memo1->isReadOnly());
    EXPECT_EQ(Form1->Label2->Caption(), folderText(empty));
    EXPECT_EQ(CurrentFolder, folderText(folder));
    EXPECT_EQ(CurrentProjectPath, "/ailleurs/Song.cpr");
    EXPECT_FALSE(Form1->Button3->isEnabled());
    // Refreshing lists the folder listed before; once it is gone, nothing.
    Form1->Button3->setEnabled(true);
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->count(), 4);
    ASSERT_TRUE(QDir(workDir.filePath("Musique")).removeRecursively());
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->count(), 0);
    EXPECT_EQ(Form1->Memo1->Text(), kShortPrompt);
    // A root already ends with its separator, which comes doubled.
    const QString root = QDir::toNativeSeparators(drives::rootOf(Form1->DirectoryListBox1->Drive()));
    openFolder(root);
    EXPECT_EQ(Form1->Label2->Caption(), root + QDir::separator());
}

TEST_F(NavigationTest, BookmarksListTheirFolderUnderTheBusyCursorAndMoveTheFolderList)
{
    const QString folder = makeMixedFolder();
    const QString empty = makeFolder("Vide");
    start();
    // Text after the last separator is cut; the uncut text names no folder to move to.
    listBookmark(folderText(folder) + "reste");
    EXPECT_EQ(Form1->ListBox2->count(), 4);
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(workDir.path()));
    // The moved folder list lists the empty folder again, which empties the editor.
    listBookmark(folderText(empty));
    EXPECT_EQ(CurrentFolder, folderText(empty));
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());

    // A handler that fails once the folder list has moved: the busy cursor still goes.
    std::optional<Qt::CursorShape> during;
    QObject::connect(Form1->DirectoryListBox1, &DirectoryListBox::Change, Form1, [&] {
        during = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
        throw std::runtime_error("panne");
    });
    EXPECT_THROW(listBookmark(folderText(folder)), std::runtime_error);
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(NavigationTest, ADriveListsItsLastFolder)
{
    const QString folder = makeMixedFolder();
    start();
    openFolder(folder);
    const QString drive = Form1->DirectoryListBox1->Drive();
    QString other;
    for (const QString& each : drives::available())
        if (each != drive && QDir(drives::rootOf(each)).isReadable())
            other = each;
    if (other.isEmpty())
        GTEST_SKIP() << "this machine offers a single drive";
    Form1->DriveComboBox1->SetDrive(other);
    EXPECT_EQ(Form1->DirectoryListBox1->Drive(), other);
    Form1->DriveComboBox1->SetDrive(drive);
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(folder));
}

}  // namespace
}  // namespace orvasel::testing
