// Listing a folder's projects: the order of the names, the prompts, bookmarks and drives.
#include "support/window_test.h"

#include "platform/drives.h"

#include <QDir>

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

using NavigationTest = WindowTest;

TEST_F(NavigationTest, FoldersAndBookmarksListTheirProjectsSorted)
{
    const QString folder = makeFolder("Projets");
    for (const char* name : {"gamma.CPR", "Beta.cpr", ".cache.cpr", "alpha.cpr", "alpha.cpr.info", "song.cpr.bak"})
        writeFile(folder + "/" + name, "x");
    ASSERT_TRUE(QDir(folder).mkdir("Old.cpr"));
    const QString empty = makeFolder("Vide");
    start();
    openFolder(folder);
    const QStringList sorted{".cache.cpr", "alpha.cpr", "Beta.cpr", "gamma.CPR"};
    EXPECT_EQ(Form1->ListBox2->Items(), sorted);
    EXPECT_EQ(Form1->Memo1->Text(), kLongPrompt);
    // Each listing flips the sorted property: the same order every time.
    for (int refresh = 0; refresh < 2; ++refresh) {
        click(Form1->Button3);
        EXPECT_EQ(Form1->ListBox2->Items(), sorted);
    }
    EXPECT_EQ(Form1->Memo1->Text(), kShortPrompt);

    // A folder without projects is shown but not made current: refreshing lists the former one.
    openFolder(empty);
    EXPECT_TRUE(Form1->ListBox2->count() == 0 && Form1->Memo1->Text().isEmpty());
    EXPECT_EQ(Form1->Label2->Caption(), folderText(empty));
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->count(), 4);
    // A bookmark is cut after its last separator.
    Form1->ComboBox1->AddItem(folderText(folder) + "reste");
    Form1->ComboBox2->AddItem("signet");
    Form1->ComboBox1->SetItemIndex(0);
    Form1->ComboBox1Change(Form1);
    EXPECT_EQ(Form1->ListBox2->count(), 4);
    // A root already ends with its separator, which comes doubled.
    const QString root = QDir::toNativeSeparators(drives::rootOf(Form1->DirectoryListBox1->Drive()));
    openFolder(root);
    EXPECT_EQ(Form1->Label2->Caption(), root + QDir::separator());
}

TEST_F(NavigationTest, ADriveListsItsLastFolder)
{
    const QString folder = makeFolder("Musique");
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
