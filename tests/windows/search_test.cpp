// Searching the notes of a folder tree from the main window, and going to a project found.
#include "support/window_test.h"

#include "forms/search/results_model.h"
#include "forms/search/search_window.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

namespace orvasel::testing {
namespace {

class SearchTest : public WindowTest {
protected:
    // A tree of projects below "Musique", its own folder listed in the main window.
    void startInTree()
    {
        tree = makeFolder("Musique");
        project("Musique/Album/Été", "Ballade.cpr", "Intro\r\nrefaire les VOIX\r\nEOF\r\nmix\\final_v3.wav\r\n");
        project("Musique/Album/Hiver", "Rock.cpr", "Tempo 140\r\nEOF\r\n\r\n");
        project("Musique/Album/Hiver", "Slow.cpr", std::nullopt);
        project("Musique", "Brouillon.cpr", "voix t\xE9moin\r\nEOF\r\n\r\n");
        start();
        openFolder(tree);
    }
    void project(const QString& folder, const QString& name, std::optional<std::string> note)
    {
        const QString path = makeFolder(folder) + "/" + name;
        writeFile(path, "cubase");
        if (note)
            writeFile(path + ".info", *note);
    }

    SearchWindow* openSearch()
    {
        QTest::keyClick(Form1, Qt::Key_F, Qt::ControlModifier);
        auto* window = Form1->findChild<SearchWindow*>();
        EXPECT_NE(window, nullptr);
        return window;
    }
    static void finish(SearchWindow* window)
    {
        QElapsedTimer waited;
        waited.start();
        while (window->searching() && waited.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_FALSE(window->searching());
    }
    static QStringList found(SearchWindow* window)
    {
        QStringList rows;
        for (int row = 0; row < window->results->rowCount(); ++row) {
            const SearchResult& result = window->results->at(row);
            rows << result.project + " | " + QDir::fromNativeSeparators(result.folder) + " | " + result.line;
        }
        return rows;
    }
    // Every file below the work folder with its size and time of last change.
    QStringList snapshot() const
    {
        QStringList files;
        QDirIterator it(workDir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info = it.nextFileInfo();
            files << info.filePath() + " " + QString::number(info.size()) + " " +
                         info.lastModified().toString(Qt::ISODateWithMs);
        }
        files.sort();
        return files;
    }
    void goTo(SearchWindow* window, int row)
    {
        window->resultsView->setCurrentIndex(window->results->index(row, 0));
        QTest::keyClick(window->resultsView, Qt::Key_Return);
    }

    QString tree;
};

TEST_F(SearchTest, FindsNotesBelowTheListedFolderAndWritesNothing)
{
    startInTree();
    const QStringList before = snapshot();
    SearchWindow* window = openSearch();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Rechercher dans les notes");
    EXPECT_EQ(window->folderEdit->text(), QDir::toNativeSeparators(tree));

    const QString root = QDir::fromNativeSeparators(tree);
    window->queryEdit->setText("VOIX");
    QTest::keyClick(window->queryEdit, Qt::Key_Return);
    finish(window);
    EXPECT_EQ(found(window), QStringList({"Brouillon.cpr | " + root + "/ | voix témoin",
                                          "Ballade.cpr | " + root + "/Album/Été/ | refaire les VOIX"}));
    window->queryEdit->setText("FINAL_V3");
    window->startSearch();
    finish(window);
    EXPECT_EQ(found(window), QStringList({"Ballade.cpr | " + root + "/Album/Été/ | mix\\final_v3.wav"}));

    // No text: every project, with its first line, sortable by each column.
    window->queryEdit->clear();
    window->startSearch();
    finish(window);
    EXPECT_EQ(window->results->rowCount(), 4);
    EXPECT_EQ(window->countLabel->text(), "4 projets trouvés");
    window->resultsView->sortByColumn(ResultsModel::ProjectColumn, Qt::AscendingOrder);
    EXPECT_EQ(found(window).at(3), "Slow.cpr | " + root + "/Album/Hiver/ | ");
    window->resultsView->sortByColumn(ResultsModel::LineColumn, Qt::DescendingOrder);
    EXPECT_EQ(found(window).at(0), "Brouillon.cpr | " + root + "/ | voix témoin");
    EXPECT_EQ(snapshot(), before);  // no information file made for the project without one

    // Every bookmark's tree, each once; or a folder chosen with the chooser.
    for (const QString& bookmark : {folderText(tree + "/Album/Hiver"), folderText(tree + "/Album")}) {
        Form1->ComboBox1->AddItem(bookmark);
        Form1->ComboBox2->AddItem("signet");
    }
    window->bookmarksChoice->setChecked(true);
    window->startSearch();
    finish(window);
    EXPECT_EQ(window->results->rowCount(), 3);
    prompts.folders.push_back(QDir::toNativeSeparators(tree + "/Album/Hiver"));
    click(window->chooseFolderButton);
    EXPECT_TRUE(window->folderChoice->isChecked());
    window->startSearch();
    finish(window);
    EXPECT_EQ(found(window), QStringList({"Rock.cpr | " + root + "/Album/Hiver/ | Tempo 140",
                                          "Slow.cpr | " + root + "/Album/Hiver/ | "}));

    window->queryEdit->setText("nulle part");
    window->startSearch();
    finish(window);
    EXPECT_EQ(window->countLabel->text(), "Aucun projet trouvé");
    window->queryEdit->setText("ж");
    window->startSearch();
    EXPECT_FALSE(window->searching());
    EXPECT_EQ(window->progressLabel->text(), "Une note ne peut pas contenir « ж » : rien à chercher.");
}

TEST_F(SearchTest, AResultOpensItsFolderAndProjectAsTheUserWould)
{
    startInTree();
    SearchWindow* window = openSearch();
    window->queryEdit->setText("voix");
    window->startSearch();
    finish(window);
    window->resultsView->sortByColumn(ResultsModel::ProjectColumn, Qt::AscendingOrder);
    goTo(window, 0);  // Ballade.cpr
    const QString folder = tree + "/Album/Été";
    EXPECT_EQ(Form1->DirectoryListBox1->Directory(), QDir::toNativeSeparators(folder));
    EXPECT_EQ(Form1->Label2->Caption(), folderText(folder));
    EXPECT_EQ(CurrentFolder, folderText(folder));
    EXPECT_EQ(Form1->ListBox2->SelectedText(), "Ballade.cpr");
    EXPECT_EQ(CurrentProjectPath, folderText(folder) + "Ballade.cpr");
    EXPECT_EQ(Form1->Memo1->Text(), "Intro\r\nrefaire les VOIX\r\n");
    EXPECT_EQ(Form1->Edit1->text(), "mix\\final_v3.wav");
    EXPECT_TRUE(Form1->Button4->isEnabled());

    // From a project with unsaved changes, nothing moves.
    typeInNote("x");
    ASSERT_TRUE(Form1->Button2->isEnabled());
    goTo(window, 1);  // Brouillon.cpr
    ASSERT_EQ(prompts.ofKind(Shown::Kind::Message).size(), 1u);
    EXPECT_EQ(prompts.shown.back().text,
              "La note en cours n'est pas enregistrée.\nEnregistrez-la avant d'ouvrir un autre projet.");
    EXPECT_EQ(CurrentFolder, folderText(folder));
    EXPECT_EQ(CurrentProjectPath, folderText(folder) + "Ballade.cpr");
    EXPECT_TRUE(Form1->Memo1->Text().startsWith("x"));

    // Saved, the other result opens; opening the folder already listed lists it anew.
    click(Form1->Button2);
    project("Musique/Album/Été", "Nouveau.cpr", std::nullopt);
    goTo(window, 1);
    EXPECT_EQ(CurrentProjectPath, folderText(tree) + "Brouillon.cpr");
    const QPoint ballade = window->resultsView->visualRect(window->results->index(0, 0)).center();
    QTest::mouseClick(window->resultsView->viewport(), Qt::LeftButton, {}, ballade);
    QTest::mouseDClick(window->resultsView->viewport(), Qt::LeftButton, {}, ballade);
    EXPECT_EQ(CurrentProjectPath, folderText(folder) + "Ballade.cpr");
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList({"Ballade.cpr", "Nouveau.cpr"}));

    // A project gone since the search: said so, its folder shown.
    ASSERT_TRUE(QFile::remove(tree + "/Brouillon.cpr"));
    goTo(window, 1);
    EXPECT_EQ(prompts.shown.back().text, "Le projet « Brouillon.cpr » n'est plus dans ce dossier.");
}

TEST_F(SearchTest, AStoppedOrReplacedSearchShowsNothingStaleAndEndsWithTheProgram)
{
    tree = makeFolder("Grand");
    for (int i = 0; i < 300; ++i)
        project(QString("Grand/%1/Audio").arg(i), "song.cpr", i % 2 ? "pair\r\nEOF\r\n\r\n" : "impair\r\nEOF\r\n\r\n");
    start();
    openFolder(tree);
    SearchWindow* window = openSearch();
    window->queryEdit->setText("impair");
    window->startSearch();
    window->queryEdit->setText("pair");
    window->startSearch();  // the first one stops; its late batches are dropped
    finish(window);
    EXPECT_EQ(window->results->rowCount(), 300);
    EXPECT_TRUE(window->progressLabel->text().startsWith("Recherche terminée : "));

    window->startSearch();
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->searching());
    const int shown = window->results->rowCount();
    EXPECT_TRUE(window->progressLabel->text().startsWith("Recherche arrêtée"));
    QTest::qWait(50);
    EXPECT_EQ(window->results->rowCount(), shown);

    window->queryEdit->clear();
    window->searchAgain();
    EXPECT_TRUE(window->searching());
    window->close();
    EXPECT_FALSE(window->searching());

    window->searchAgain();
    stop();  // the program ends while it searches: its window goes, and the worker with it
}

}  // namespace
}  // namespace orvasel::testing
