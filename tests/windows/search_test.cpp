// Searching the notes of a folder tree from the main window, and going to a project found.
#include "support/window_test.h"

#include "forms/search/results_model.h"
#include "forms/search/search_window.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

namespace orvasel::testing {
namespace {

class SearchTest : public WindowTest {
protected:
    void project(const QString& folder, const QString& name, const std::string& note)
    {
        const QString path = makeFolder("Musique/" + folder) + "/" + name;
        writeFile(path, "cubase");
        if (!note.empty())
            writeFile(path + ".info", note);
    }
    // The rows found for the text, once the search has ended.
    QStringList search(const QString& text)
    {
        window->queryEdit->setText(text);
        QTest::keyClick(window->queryEdit, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->searching(); }, 20000)) << "the search did not end";
        QStringList rows;
        for (int row = 0; row < window->results->rowCount(); ++row) {
            const SearchResult& found = window->results->at(row);
            rows << found.project + " | " + QDir::fromNativeSeparators(found.folder) + " | " + found.line;
        }
        return rows;
    }
    void goTo(int row)
    {
        window->resultsView->setCurrentIndex(window->results->index(row, 0));
        QTest::keyClick(window->resultsView, Qt::Key_Return);
    }

    SearchWindow* window = nullptr;
};

TEST_F(SearchTest, FindsNotesBelowTheListedFolderOrTheBookmarksGoesToThemAndEndsWithTheProgram)
{
    project("Album/Été", "Ballade.cpr", "Intro\r\nrefaire les VOIX\r\nEOF\r\nmix\\final_v3.wav\r\n");
    project("Album/Hiver", "Rock.cpr", "Tempo 140\r\nEOF\r\n\r\n");
    project("Album/Hiver", "Slow.cpr", {});
    project(".", "Brouillon.cpr", "voix t\xE9moin\r\nEOF\r\n\r\n");
    for (int i = 0; i < 300; ++i)
        project(QString("Grand/%1").arg(i), "song.cpr", i % 2 ? "pair\r\nEOF\r\n\r\n" : "impair\r\nEOF\r\n\r\n");
    const QString tree = workDir.filePath("Musique");
    start();
    openFolder(tree);
    QTest::keyClick(Form1, Qt::Key_F, Qt::ControlModifier);
    window = Form1->findChild<SearchWindow*>();
    ASSERT_NE(window, nullptr);

    // A search replaced while batches it sent still wait in the queue: they are dropped.
    window->queryEdit->setText("impair");
    window->startSearch();
    QTest::qSleep(200);
    EXPECT_EQ(search("pair").size(), 300);

    // No text: every project, without creating the missing note; or every bookmark's tree, each once.
    EXPECT_EQ(search("").size(), 304);
    EXPECT_FALSE(exists(tree + "/Album/Hiver/Slow.cpr.info"));
    for (const QString& bookmark : {folderText(tree + "/Album/Hiver"), folderText(tree + "/Album")}) {
        Form1->ComboBox1->AddItem(bookmark);
        Form1->ComboBox2->AddItem("signet");
    }
    window->bookmarksChoice->setChecked(true);
    EXPECT_EQ(search("").size(), 3);
    window->folderChoice->setChecked(true);
    const QString root = QDir::fromNativeSeparators(tree);
    EXPECT_EQ(search("VOIX"), QStringList({"Brouillon.cpr | " + root + "/ | voix témoin",
                                           "Ballade.cpr | " + root + "/Album/Été/ | refaire les VOIX"}));

    // A result opens its project, unless the note shown is unsaved.
    goTo(1);
    EXPECT_EQ(Form1->Memo1->Text(), "Intro\r\nrefaire les VOIX\r\n");
    typeInNote("x");
    goTo(0);
    EXPECT_TRUE(prompts.ofKind(Shown::Kind::Message).at(0).text.contains("pas enregistrée"));
    EXPECT_TRUE(Form1->Memo1->Text().startsWith("x"));
    click(Form1->Button2);
    goTo(0);
    EXPECT_EQ(CurrentProjectPath, folderText(tree) + "Brouillon.cpr");

    // Closing the window stops its search, whose waiting batches are dropped too.
    window->startSearch();
    QTest::qSleep(200);
    window->close();
    QTest::qWait(50);
    EXPECT_EQ(window->results->rowCount(), 0);
    window->searchAgain();
    ASSERT_TRUE(window->searching());
    stop();  // the program ends while it searches: its window goes, and the worker with it
}

}  // namespace
}  // namespace orvasel::testing
