// Searching the notes of a folder tree from the main window, and going to a project found.
#include "support/window_test.h"

#include "forms/search/result_actions.h"
#include "forms/search/results_model.h"
#include "forms/search/search_window.h"
#include "platform/drives.h"
#include "platform/name_order.h"
#include "platform/paths.h"

#include <QContextMenuEvent>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <numeric>
#include <random>

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
        return rows();
    }
    QStringList rows()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->searching(); }, 20000)) << "the search did not end";
        QStringList rows;
        for (int row = 0; row < window->results->rowCount(); ++row) {
            const SearchResult& found = window->results->at(row);
            rows << found.project + " | " + QDir::fromNativeSeparators(found.folder) + " | " + found.line + " | "
                        + exportLabelOf(found);
        }
        return rows;
    }
    // The menu of the current result, as the keyboard opens it, then one of its items by its letter.
    void fromResultMenu(const std::function<void()>& openMenu, char letter)
    {
        openMenu();
        ASSERT_TRUE(window->resultMenu->isVisible());
        QTest::keyClick(window->resultMenu, letter);
        EXPECT_FALSE(window->resultMenu->isVisible());
    }
    void goTo(int row)
    {
        window->resultsView->setCurrentIndex(window->results->index(row, 0));
        QTest::keyClick(window->resultsView, Qt::Key_Return);
    }

    SearchWindow* window = nullptr;
};

// Counts the calls queued to an object (the worker's "results wait" among them).
struct QueuedCalls : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::MetaCall;
        return false;
    }
};

TEST_F(SearchTest, FindsNotesBelowTheListedFolderOrTheBookmarksGoesToThemAndEndsWithTheProgram)
{
    // Exports as the user gives them: one there, one gone, one that is no full path.
    const QString exports = QDir::toNativeSeparators(makeFolder("Exports")) + paths::separator();
    writeFile(exports + "temoin.wav", "RIFF");
    project("Album/Été", "Ballade.cpr", "Intro\r\nrefaire les VOIX\r\nEOF\r\nmix\\final_v3.wav\r\n");
    project("Album/Hiver", "Rock.cpr", "Tempo 140\r\nEOF\r\n" + (exports + "perdu.wav").toStdString() + "\r\n");
    project("Album/Hiver", "Slow.cpr", {});
    project(".", "Brouillon.cpr", "voix t\xE9moin\r\nEOF\r\n" + (exports + "temoin.wav").toStdString() + "\r\n");
    for (int i = 0; i < 300; ++i)
        project(QString("Grand/%1").arg(i), "song.cpr", i % 2 ? "pair\r\nEOF\r\n\r\n" : "impair\r\nEOF\r\n\r\n");
    const QString tree = workDir.filePath("Musique");
    start();
    openFolder(tree);
    QTest::keyClick(Form1, Qt::Key_F, Qt::ControlModifier);
    window = Form1->findChild<SearchWindow*>();
    ASSERT_NE(window, nullptr);

    // A search replaced while batches it sent still wait in the queue: they are dropped. While the
    // window is busy, the worker gives it one call to take what waits, not one per batch.
    QueuedCalls calls;
    window->installEventFilter(&calls);
    window->queryEdit->setText("impair");
    window->startSearch();
    QTest::qSleep(300);
    QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
    EXPECT_EQ(calls.count, 1);
    window->removeEventFilter(&calls);
    EXPECT_EQ(search("pair").size(), 300);

    // No text: every project, without creating the missing note; or every bookmark's tree, each once.
    EXPECT_EQ(search("").size(), 304);
    EXPECT_FALSE(exists(tree + "/Album/Hiver/Slow.cpr.info"));
    QStringList bookmarks{folderText(tree + "/Album/Hiver"), folderText(tree + "/Album")};
#ifdef _WIN32
    bookmarks << folderText(tree + "/Album").toUpper() << folderText(tree).toLower() + "album\\été\\";  // the same trees
#endif
    for (const QString& bookmark : bookmarks) {
        Form1->ComboBox1->AddItem(bookmark);
        Form1->ComboBox2->AddItem("signet");
    }
    window->bookmarksChoice->setChecked(true);
    EXPECT_EQ(search("").size(), 3);
    window->folderChoice->setChecked(true);
    // A folder text must say where the folder is; one that is not there is told once searched.
    window->folderEdit->setText("Musique");
    EXPECT_TRUE(search("").isEmpty());
    EXPECT_TRUE(window->progressLabel->text().contains("pas un chemin complet")) << window->progressLabel->text().toStdString();
    window->folderEdit->setText(tree + "/Absent");
    EXPECT_TRUE(search("").isEmpty());
    EXPECT_TRUE(window->progressLabel->text().contains("n'existe pas")) << window->progressLabel->text().toStdString();
    window->folderEdit->setText(tree);
    const QString root = QDir::fromNativeSeparators(tree);
    EXPECT_EQ(search("VOIX"), QStringList({"Brouillon.cpr | " + root + "/ | voix témoin | présent",
                                           "Ballade.cpr | " + root + "/Album/Été/ | refaire les VOIX | non vérifié"}));

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

    // The list shown, in its order, as a CSV file; a write that fails is told and leaves nothing.
    window->resultsView->sortByColumn(ProjectColumn, Qt::AscendingOrder);
    const QString list = workDir.filePath("liste.csv"), nowhere = workDir.filePath("absent/liste.csv");
    prompts.files = {list, nowhere};
    click(window->exportListButton);
    // (Not projects: their files tell no version and no plugins.)
    const std::string modified = QFileInfo(tree + "/Brouillon.cpr").lastModified().toString("dd/MM/yyyy HH:mm").toStdString();
    EXPECT_EQ(readFile(list), "\xEF\xBB\xBFProjet;Dossier;Ligne;Export;État de l'export;Version;Modifié;Plugins;Liste des plugins\r\n"
                              "Ballade.cpr;" + folderText(tree + "/Album/Été").toStdString() + ";refaire les VOIX;mix\\final_v3.wav;non vérifié;?;"
                              + QFileInfo(tree + "/Album/Été/Ballade.cpr").lastModified().toString("dd/MM/yyyy HH:mm").toStdString() + ";?;\r\n"
                              "Brouillon.cpr;" + folderText(tree).toStdString() + ";voix témoin;" + (exports + "temoin.wav").toStdString()
                              + ";présent;?;" + modified + ";?;\r\n");
    click(window->exportListButton);
    EXPECT_TRUE(prompts.shown.back().text.startsWith("La liste n'a pas pu être enregistrée")) << prompts.shown.back().text.toStdString();
    EXPECT_FALSE(exists(nowhere));

    // A filter beside the text lists anew, with the text: exports gone, projects without export or note.
    window->queryEdit->clear();
    window->filterChoice->setFocus();
    QTest::keyClick(window->filterChoice, Qt::Key_Down);
    EXPECT_EQ(rows(), QStringList({"Rock.cpr | " + root + "/Album/Hiver/ | Tempo 140 | introuvable"}));
    window->filterChoice->setCurrentIndex(3);
    EXPECT_EQ(search("impair").size(), 150);
    window->filterChoice->setCurrentIndex(4);
    EXPECT_EQ(search(""), QStringList({"Slow.cpr | " + root + "/Album/Hiver/ |  | \u2014"}));

    // A result's menu from the keyboard: its folder in the file manager, its export played with the
    // player asked for first, as "Play" does.
    window->filterChoice->setCurrentIndex(1);
    search("");
    QApplication::setActiveWindow(window);
    window->resultsView->setFocus();
    window->resultsView->setCurrentIndex(window->results->index(0, 0));
    fromResultMenu([&] { QTest::keyClick(window->resultsView, Qt::Key_F10, Qt::ShiftModifier); }, 'o');
    const QString hiver = folderText(tree + "/Album/Hiver");
#ifdef _WIN32
    EXPECT_EQ(fields(shell.requests.back()), std::tuple(window, QString("open"), QString("explorer.exe"),
                                                        "/select,\"" + hiver + "Rock.cpr\"", QString(), shell::kRestore,
                                                        shell::Target::Program));
#else
    EXPECT_EQ(fields(shell.requests.back()), std::tuple(window, QString("open"), paths::folderName(hiver), QString(),
                                                        hiver, shell::kRestore, shell::Target::Document));
#endif
    prompts.answers = {prompts::Answer::Yes};
    const QString player = folderText(workDir.path()) + "lecteur.exe";
    prompts.files = {player};
    fromResultMenu([&] {
        // The context-menu key, as the platform tells it: at the current result.
        const QPoint at = window->resultsView->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, at, window->resultsView->mapToGlobal(at));
        QApplication::sendEvent(window->resultsView, &menuKey);
    }, 'c');
    EXPECT_TRUE(prompts.ofKind(Shown::Kind::Confirmation).back().text.contains("lecteur audio"));
    EXPECT_EQ(fields(shell.requests.back()), std::tuple(window, QString("open"), player, QString("perdu.wav"),
                                                        exports, shell::kShowNoActivate, shell::Target::Program));
    window->filterChoice->setCurrentIndex(0);

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

TEST_F(SearchTest, TheCatalogueTellsWhatIsInsideEachProjectFlagsOldExportsAndNotesTheExportItFinds)
{
    std::ifstream sample(ORVASEL_SAMPLES_DIR "/cubase/Example Project (Cubase 13).cpr", std::ios::binary);
    const std::string cubase13{std::istreambuf_iterator<char>(sample), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(cubase13.empty());
    const QString exports = QDir::toNativeSeparators(makeFolder("Exports")) + paths::separator();
    writeFile(exports + "vieux.wav", "RIFF");
    QFile old(exports + "vieux.wav");
    ASSERT_TRUE(old.open(QIODevice::ReadWrite) && old.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                                                 QFileDevice::FileModificationTime));
    old.close();
    project("Pop", "Tube.cpr", "refrain\r\nEOF\r\n\r\n");
    writeFile(workDir.filePath("Musique/Pop/Tube.cpr"), cubase13);
    writeFile(makeFolder("Musique/Pop/Mixdown") + "/Tube.wav", "RIFF");
    project("Solo", "Solo.cpr", "");
    writeFile(workDir.filePath("Musique/Solo/Solo take 2.wav"), "RIFF");
    project("Vieux", "Vieux.cpr", "mix\r\nEOF\r\n" + (exports + "vieux.wav").toStdString() + "\r\n");
    const QString tree = workDir.filePath("Musique");
    start();
    openFolder(tree);
    QTest::keyClick(Form1, Qt::Key_F, Qt::ControlModifier);
    window = Form1->findChild<SearchWindow*>();
    ASSERT_NE(window, nullptr);

    // Each project's version, date and plugins once read, and the progress of the reading.
    const QString root = QDir::fromNativeSeparators(tree);
    EXPECT_EQ(search(""), QStringList({"Tube.cpr | " + root + "/Pop/ | refrain | à noter",
                                       "Solo.cpr | " + root + "/Solo/ |  | à noter",
                                       "Vieux.cpr | " + root + "/Vieux/ | mix | antérieur au projet"}));
    EXPECT_TRUE(window->progressLabel->text().contains("Projets lus : 3 / 3")) << window->progressLabel->text().toStdString();
    const auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
        return window->results->index(row, column).data(role).toString();
    };
    EXPECT_EQ(std::tuple(cell(0, VersionColumn), cell(0, PluginsColumn), cell(2, VersionColumn), cell(2, PluginsColumn)),
              std::tuple(QString("Cubase 13.0.10"), QString("9"), QString("?"), QString("?")));
    EXPECT_TRUE(cell(0, PluginsColumn, Qt::ToolTipRole).contains("Omnisphere\nStereoEnhancer"));
    EXPECT_EQ(cell(1, ModifiedColumn), QFileInfo(tree + "/Solo/Solo.cpr").lastModified().toString("dd/MM/yyyy HH:mm"));
    // Found by a plugin it uses; the exports older than their project.
    EXPECT_EQ(search("omnisph\u00C8re"), QStringList({"Tube.cpr | " + root + "/Pop/ | plugin : Omnisphere | à noter"}));
    window->filterChoice->setCurrentIndex(2);
    EXPECT_EQ(search(""), QStringList({"Vieux.cpr | " + root + "/Vieux/ | mix | antérieur au projet"}));
    window->filterChoice->setCurrentIndex(0);
    search("");

    // The row's menu: its plugins, and the export found, noted with the note kept byte for byte.
    QApplication::setActiveWindow(window);
    window->resultsView->setFocus();
    window->resultsView->setCurrentIndex(window->results->index(0, 0));
    const auto openMenu = [&] { QTest::keyClick(window->resultsView, Qt::Key_F10, Qt::ShiftModifier); };
    fromResultMenu(openMenu, 'p');
    EXPECT_TRUE(prompts.shown.back().text.startsWith("Plugins de « Tube.cpr » (9) :"));
    EXPECT_TRUE(prompts.shown.back().text.contains("\nLin Dither\n"));
    openMenu();
    EXPECT_EQ(window->actions->noteExportAction->text(), QString("&Noter l'export trouvé (Mixdown") + paths::separator() + "Tube.wav)");
    QTest::keyClick(window->resultMenu, 'n');
    const QString tube = QDir::toNativeSeparators(tree + "/Pop/Mixdown/Tube.wav");
    EXPECT_EQ(readFile(tree + "/Pop/Tube.cpr.info"), "refrain\r\nEOF\r\n" + tube.toStdString() + "\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell(0, ExportColumn) == "présent"; }, 5000)) << cell(0, ExportColumn).toStdString();

    // Not while the main window holds that project's note unsaved: the file stays as it is.
    goTo(1);
    typeInNote("x");
    QApplication::setActiveWindow(window);
    window->resultsView->setFocus();
    window->resultsView->setCurrentIndex(window->results->index(1, 0));
    fromResultMenu(openMenu, 'n');
    EXPECT_TRUE(prompts.shown.back().text.contains("en cours de modification")) << prompts.shown.back().text.toStdString();
    EXPECT_EQ(readFile(tree + "/Solo/Solo.cpr.info"), "EOF\r\n");
    EXPECT_EQ(cell(1, ExportColumn), "à noter");
}

// A network share that stopped answering: every folder listing waits until it is released, or for
// 20 seconds, so that anything that waited for a worker would still be waiting when checked.
class StalledShare final : public search::Disk {
public:
    search::FolderState list(const std::string& folder, const std::function<bool(const SearchEntry&)>& each) override
    {
        std::unique_lock lock(mutex_);
        ++waiting_;
        ++entered_;
        answer_.wait_for(lock, std::chrono::seconds(20), [this] { return released_; });
        --waiting_;
        lock.unlock();
        return search::localDisk()->list(folder, each);
    }
    file_io::ReadResult readStart(const std::string& path, std::size_t limit) override
    {
        return search::localDisk()->readStart(path, limit);
    }
    file_probe::Probe examine(const std::string& path) override { return search::localDisk()->examine(path); }
    std::unique_ptr<search::InputStream> open(const std::string& path) override { return search::localDisk()->open(path); }
    int waiting() { const std::lock_guard lock(mutex_); return waiting_; }
    int entered() { const std::lock_guard lock(mutex_); return entered_; }  // listings begun, ever
    void release() { const std::lock_guard lock(mutex_); released_ = true; answer_.notify_all(); }

private:
    std::mutex mutex_;
    std::condition_variable answer_;
    int waiting_ = 0;
    int entered_ = 0;
    bool released_ = false;
};

TEST_F(SearchTest, AShareThatStopsAnsweringHoldsNeitherStopNorANewSearchNorClosingNorTheEnd)
{
    project("Album", "Ballade.cpr", "voix\r\nEOF\r\n\r\n");
    start();
    const auto share = std::make_shared<StalledShare>();
    window = new SearchWindow(Form1, {[] { return QString(); }, [] { return QStringList(); }, {}, share});
    window->folderEdit->setText(workDir.filePath("Musique"));

    window->startSearch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return share->waiting() == 1; }, 5000));
    click(window->stopButton);
    EXPECT_TRUE(!window->searching() && window->progressLabel->text().startsWith("Recherche arrêtée"));
    window->startSearch();
    window->startSearch();
    EXPECT_TRUE(window->searching());
    // The last one started (the one before may have been let go before it reached the share).
    EXPECT_TRUE(QTest::qWaitFor([&] { return share->entered() >= 2; }, 5000));
    const int before = share->entered();
    window->close();
    EXPECT_FALSE(window->isVisible());
    window->searchAgain();
    EXPECT_TRUE(QTest::qWaitFor([&] { return share->entered() > before; }, 5000));
    stop();  // the program ends
    EXPECT_EQ(share->waiting(), share->entered());
    // Answering at last, the abandoned workers end on their own, reaching no window.
    share->release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return share->waiting() == 0; }, 5000));
    QTest::qWait(100);
}

// A hundred thousand results in batches of a thousand, in no order: each batch goes in with one
// insertion and at most one move of the rows, the table stays in order, a kept row stays itself.
TEST(ResultsModelTest, BatchesAreMergedInOneStepEachAndKeepTheOrder)
{
    ResultsModel model;
    QTableView view;
    view.setModel(&model);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted), moved(&model, &QAbstractItemModel::layoutChanged);
    std::vector<int> numbers(100'000);
    std::iota(numbers.begin(), numbers.end(), 0);
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(17));
    QPersistentModelIndex kept;
    for (std::size_t from = 0; from < numbers.size(); from += 1000) {
        std::vector<SearchResult> batch;
        for (std::size_t i = from; i < from + 1000; ++i)
            batch.push_back(resultOf(QString("Morceau %1.cpr").arg(numbers[i]), QString("/Musique/%1/").arg(numbers[i] % 997), "x"));
        model.add(std::move(batch));
        if (!kept.isValid())
            kept = model.index(500, 0);
    }
    const QString keptName = model.at(kept.row()).project;
    std::vector<SearchResult> together;
    together.push_back(resultOf("Zut.cpr", "/Zz/", "x"));
    together.push_back(resultOf("Zut 2.cpr", "/Zz/", "x"));
    model.add(std::move(together));  // all at one place: inserted as they are
    EXPECT_EQ(std::pair(int(inserted.count()), int(moved.count())), std::pair(101, 99));  // the first batch too
    ASSERT_EQ(model.rowCount(), 100'002);
    for (int row = 1; row < model.rowCount(); ++row) {
        const SearchResult &a = model.at(row - 1), &b = model.at(row);
        const int order = compareNames(a.folder, b.folder);
        ASSERT_TRUE(order < 0 || (order == 0 && compareNames(a.project, b.project) <= 0)) << row;
    }
    EXPECT_EQ(kept.data().toString(), keptName);
    // Sorted anew by their names, in the project list's order, from keys made beforehand.
    model.sort(ProjectColumn, Qt::DescendingOrder);
    for (int row = 1; row < model.rowCount(); ++row)
        ASSERT_GE(compareNames(model.at(row - 1).project, model.at(row).project), 0) << row;
    EXPECT_EQ(kept.data().toString(), keptName);
}

// Where a search may start, and each tree walked once.
TEST(SearchRoots, FullPathsOnlyEachTreeOnceAndSharesAsDrives)
{
#ifdef _WIN32
    const std::pair<QString, bool> full[] = {{"C:\\Musique", true}, {"c:/", true}, {"\\\\serveur\\partage\\Musique", true},
                                             {"//serveur/partage", true}, {"Musique", false}, {"C:Musique", false},
                                             {"\\Musique", false}, {"\\\\serveur", false}, {"\\\\serveur\\\\x", false}};
    EXPECT_EQ(paths::fileNameCase(), Qt::CaseInsensitive);
    // A share is browsed like a drive: its root is its drive's.
    EXPECT_EQ(paths::folderName("//serveur/partage"), "\\\\serveur\\partage\\");
    EXPECT_EQ(paths::folderName("\\\\serveur\\partage\\Projets\\..\\Album\\"), "\\\\serveur\\partage\\Album");
    EXPECT_EQ(drives::driveOf("\\\\serveur\\partage\\Album"), "\\\\serveur\\partage");
    EXPECT_EQ(drives::rootOf(drives::driveOf("\\\\serveur\\partage")), "\\\\serveur\\partage\\");
    EXPECT_EQ(drives::driveOf("d:\\Album"), "D:");
#else
    const std::pair<QString, bool> full[] = {{"/home/moi", true}, {"Musique", false}, {"~/Musique", false}, {"./Musique", false}};
#endif
    for (const auto& [text, expected] : full)
        EXPECT_EQ(paths::isFullPath(text), expected) << text.toStdString();
    const QStringList roots{"C:\\Musique\\", "c:\\musique\\Album\\", "C:\\Musique\\", "C:\\Mus\\", "D:\\", "D:\\x\\"};
    EXPECT_EQ(paths::outermostFolders(roots, Qt::CaseInsensitive), QStringList({"C:\\Musique\\", "C:\\Mus\\", "D:\\"}));
    EXPECT_EQ(paths::outermostFolders(roots, Qt::CaseSensitive),
              QStringList({"C:\\Musique\\", "c:\\musique\\Album\\", "C:\\Mus\\", "D:\\"}));
}

}  // namespace
}  // namespace orvasel::testing
