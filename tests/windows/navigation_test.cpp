// Listing a folder's projects: the order of the names, the prompts, the folder a bookmark names.
#include "support/window_test.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <optional>
#include <stdexcept>

namespace orvasel::testing {
namespace {

const QString kLongPrompt = " \r\n \r\n \r\n \r\n                         <<\r\n"
                            "                       <<      sélectionnez\r\n                      <<\r\n"
                            "                     <<         un fichier\r\n                      <<\r\n"
                            "                       <<      à consulter\r\n                         <<\r\n";
const QString kShortPrompt = " \r\n \r\n \r\n \r\n        <<\r\n       <<      sélectionnez\r\n      <<\r\n"
                             "     <<         un fichier\r\n      <<\r\n       <<      à consulter\r\n        <<\r\n";

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
    // Listed again after a rename, the folder shows the new name in its place, not the last order.
    ASSERT_TRUE(QFile::rename(folder + "/alpha.cpr", folder + "/zeta.cpr"));
    click(Form1->Button3);
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList({".cache.cpr", "Beta.cpr", "gamma.CPR", "zeta.cpr"}));
    ASSERT_TRUE(QFile::rename(folder + "/zeta.cpr", folder + "/alpha.cpr"));
    click(Form1->Button3);

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

    // A handler that fails once the folder list has moved: the busy cursor goes all the same.
    std::optional<Qt::CursorShape> during;
    QObject::connect(Form1->DirectoryListBox1, &DirectoryListBox::Change, Form1, [&] {
        during = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
        throw std::runtime_error("panne");
    });
    Form1->ComboBox1->AddItem(folderText(folder));
    Form1->ComboBox2->AddItem("projets");
    Form1->ComboBox1->SetItemIndex(1);
    EXPECT_THROW(Form1->ComboBox1Change(Form1), std::runtime_error);
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace orvasel::testing
