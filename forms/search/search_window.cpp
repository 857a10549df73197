#include "forms/search/search_window.h"

#include "forms/search/results_model.h"
#include "platform/ansi.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/shell.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTableView>

namespace orvasel {
namespace {

// "1 dossier parcouru", "2 dossiers parcourus": the noun and its participle or adjective agree.
QString counted(std::size_t count, const QString& one, const QString& many)
{
    return QString::number(count) + QLatin1Char(' ') + (count > 1 ? many : one);
}

// Results go into the table this many at a time at most: the window answers between two batches.
constexpr std::size_t kMostResultsAtOnce = 2000;
// Each batch taken repaints the table: one at most in this time, unless more wait than one takes.
constexpr qint64 kTakeInterval = 50;  // milliseconds

// A folder as a search root: the folder text, ending with its separator.
QString rootOf(const QString& folder)
{
    QString text = paths::folderName(folder);
    if (!text.endsWith(paths::separator()))
        text += paths::separator();
    return text;
}

}  // namespace

SearchWindow::SearchWindow(QWidget* parent, Links links)
    : QWidget(parent, Qt::Window),
      links_(std::move(links)),
      background_(this, [this] { resultsWaiting(); }, links_.disk)
{
    setObjectName(QStringLiteral("SearchWindow"));
    takeTimer_.setSingleShot(true);
    connect(&takeTimer_, &QTimer::timeout, this, &SearchWindow::takeResults);
    setWindowTitle(QStringLiteral("Rechercher dans les notes"));
    resize(900, 500);

    queryEdit = new QLineEdit(this);
    queryEdit->setPlaceholderText(QStringLiteral("un mot de la note ou du fichier exporté ; vide : tous les projets"));
    filterChoice = new QComboBox(this);
    for (const search::Filter filter : search::kFilters)
        filterChoice->addItem(QString::fromUtf8(search::labelOf(filter).data(), qsizetype(search::labelOf(filter).size())));
    filterChoice->setToolTip(QStringLiteral("Quels projets lister"));
    searchButton = new QPushButton(QStringLiteral("Rechercher"), this);
    stopButton = new QPushButton(QStringLiteral("Arrêter"), this);
    folderChoice = new QRadioButton(QStringLiteral("Dossier :"), this);
    folderChoice->setChecked(true);
    folderEdit = new QLineEdit(this);
    chooseFolderButton = new QPushButton(QStringLiteral("..."), this);
    chooseFolderButton->setToolTip(QStringLiteral("Choisir le dossier"));
    bookmarksChoice = new QRadioButton(QStringLiteral("Tous les signets"), this);
    results = new ResultsModel(this);
    resultsView = new QTableView(this);
    resultsView->setModel(results);
    resultsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    resultsView->setSelectionMode(QAbstractItemView::SingleSelection);
    resultsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultsView->setWordWrap(false);
    resultsView->verticalHeader()->hide();
    // Rows of one height: a long list of results stays quick to show.
    resultsView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    resultsView->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    resultsView->horizontalHeader()->setStretchLastSection(true);
    resultsView->setSortingEnabled(true);
    resultsView->horizontalHeader()->setSortIndicator(FolderColumn, Qt::AscendingOrder);
    resultsView->setColumnWidth(ProjectColumn, 180);
    resultsView->setColumnWidth(FolderColumn, 240);
    resultsView->setColumnWidth(VersionColumn, 110);
    resultsView->setColumnWidth(ModifiedColumn, 110);
    resultsView->setColumnWidth(PluginsColumn, 60);
    resultsView->setColumnWidth(ExportColumn, 130);
    resultsView->installEventFilter(this);
    resultsView->setContextMenuPolicy(Qt::CustomContextMenu);
    countLabel = new QLabel(this);
    progressLabel = new QLabel(this);
    // A long message goes on two lines rather than squeezing the fields above.
    progressLabel->setWordWrap(true);
    actions = new ResultActions(this, resultsView, results, {links_.goTo, links_.play, links_.noteExport});
    resultMenu = actions->menu;
    actionsButton = new QPushButton(QStringLiteral("&Actions"), this);
    actionsButton->setMenu(resultMenu);
    exportListButton = new QPushButton(QStringLiteral("E&xporter la liste…"), this);

    auto* grid = new QGridLayout(this);
    auto* queryRow = new QHBoxLayout;
    queryRow->addWidget(queryEdit, 1);
    queryRow->addWidget(filterChoice);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(countLabel);
    bottomRow->addWidget(progressLabel, 1);
    bottomRow->addWidget(actionsButton);
    bottomRow->addWidget(exportListButton);
    grid->addWidget(new QLabel(QStringLiteral("Chercher :"), this), 0, 0);
    grid->addLayout(queryRow, 0, 1, 1, 2);
    grid->addWidget(searchButton, 0, 3);
    grid->addWidget(stopButton, 0, 4);
    grid->addWidget(folderChoice, 1, 0);
    grid->addWidget(folderEdit, 1, 1);
    grid->addWidget(chooseFolderButton, 1, 2);
    grid->addWidget(bookmarksChoice, 1, 3, 1, 2);
    grid->addWidget(resultsView, 2, 0, 1, 5);
    grid->addLayout(bottomRow, 3, 0, 1, 5);
    grid->setColumnStretch(1, 1);

    connect(queryEdit, &QLineEdit::returnPressed, this, &SearchWindow::startSearch);
    connect(folderEdit, &QLineEdit::returnPressed, this, &SearchWindow::startSearch);
    connect(folderEdit, &QLineEdit::textEdited, this, [this] { folderChoice->setChecked(true); });
    connect(searchButton, &QPushButton::clicked, this, &SearchWindow::startSearch);
    connect(stopButton, &QPushButton::clicked, this, &SearchWindow::stopSearch);
    connect(chooseFolderButton, &QPushButton::clicked, this, &SearchWindow::chooseFolder);
    connect(resultsView, &QTableView::doubleClicked, actions, &ResultActions::goToCurrent);
    // A new filter lists anew what was searched.
    connect(filterChoice, &QComboBox::activated, this, [this] {
        if (searchedOnce_)
            startSearch();
    });
    connect(resultsView, &QWidget::customContextMenuRequested, actions, &ResultActions::showMenu);
    // The keyboard's way to the menu of the current result, besides the context-menu key.
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), resultsView, nullptr, nullptr, Qt::WidgetShortcut),
            &QShortcut::activated, actions, [this] { actions->showMenu(QPoint(-1, -1)); });
    connect(exportListButton, &QPushButton::clicked, this, &SearchWindow::exportList);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, [this] {
        if (searching_)
            stopSearch();
        else
            close();
    });
    connect(new QShortcut(Qt::Key_F3, this), &QShortcut::activated, this, &SearchWindow::startSearch);
    setSearching(false);
}

SearchWindow::~SearchWindow()
{
    // Let go before anything of the window goes (the worker itself is never waited for).
    background_.stop();
}

void SearchWindow::open()
{
    if (!isVisible() && !searching_)
        folderEdit->setText(links_.listedFolder());
    show();
    raise();
    activateWindow();
    queryEdit->setFocus();
    queryEdit->selectAll();
}

void SearchWindow::searchAgain()
{
    if (!searchedOnce_) {
        open();
        return;
    }
    show();
    raise();
    activateWindow();
    startSearch();
}

void SearchWindow::startSearch()
{
    stopSearch();
    actions->forgetChecks();
    results->clear();
    updateButtons();
    countLabel->clear();
    tally_ = {};
    const std::optional<std::string> query = ansi::fromUnicode(queryEdit->text());
    if (!query) {
        progressLabel->setText(QStringLiteral("Une note ne peut pas contenir « %1 » : rien à chercher.")
                                   .arg(ansi::unstorableCharacters(queryEdit->text())));
        return;
    }
    // Whether the folders are there is the worker's to find out: a share that stopped answering
    // must not hold the window.
    QStringList folders, bookmarks;
    for (const QString& folder : links_.bookmarkFolders())
        if (paths::isFullPath(folder))
            bookmarks << rootOf(folder);
    if (bookmarksChoice->isChecked()) {
        folders = bookmarks;
        if (folders.empty()) {
            progressLabel->setText(QStringLiteral("Aucun signet à parcourir."));
            return;
        }
    } else {
        const QString folder = folderEdit->text().trimmed();
        if (folder.isEmpty()) {
            progressLabel->setText(QStringLiteral("Indiquez le dossier où chercher."));
            return;
        }
        if (!paths::isFullPath(folder)) {
            progressLabel->setText(QStringLiteral("Le dossier « %1 » n'est pas un chemin complet : indiquez-le en entier, "
                                                  "par exemple %2.")
                                       .arg(folder, paths::fullPathExample()));
            return;
        }
        folders << rootOf(folder);
    }
    BackgroundSearch::Request request;
    for (const QString& folder : paths::outermostFolders(folders))
        request.roots.push_back(paths::toFileSystem(folder));
    // Exports on another machine are checked only where the user looks: the folders searched and the bookmarks.
    request.chosenPlaces = request.roots;
    for (const QString& folder : bookmarks)
        request.chosenPlaces.push_back(paths::toFileSystem(folder));
    request.query = *query;
    request.filter = search::kFilters[std::max(0, filterChoice->currentIndex())];
    request.indexFile = paths::toFileSystem(links_.indexFile);
    searchedOnce_ = true;
    sinceTake_.invalidate();
    backlog_ = false;
    background_.start(std::move(request));
    setSearching(true);
    showProgress(tally_, QStringLiteral("Recherche en cours"));
}

void SearchWindow::stopSearch()
{
    if (!searching_)
        return;
    background_.stop();
    takeTimer_.stop();
    setSearching(false);
    showProgress(tally_, QStringLiteral("Recherche arrêtée"));
}

void SearchWindow::chooseFolder()
{
    const auto folder = prompts::current().chooseFolder(this, QStringLiteral("Dossier où chercher"), folderEdit->text());
    if (!folder)
        return;
    folderEdit->setText(*folder);
    folderChoice->setChecked(true);
}

void SearchWindow::resultsWaiting()
{
    if (takeTimer_.isActive())
        return;
    const qint64 since = sinceTake_.isValid() ? sinceTake_.elapsed() : kTakeInterval;
    takeTimer_.start(backlog_ ? 0 : int(std::max<qint64>(0, kTakeInterval - since)));
}

void SearchWindow::takeResults()
{
    if (!searching_)
        return;
    SearchBatch batch = background_.take(kMostResultsAtOnce);
    backlog_ = batch.found.size() == kMostResultsAtOnce;
    if (!batch.found.empty() || !batch.detailed.empty())
        sinceTake_.start();  // the table is repainted: the next results wait a little
    results->add(std::move(batch.found));
    results->update(std::move(batch.detailed));
    updateButtons();
    tally_ = batch.tally;
    countLabel->setText(counted(std::size_t(results->rowCount()), QStringLiteral("projet trouvé"),
                                QStringLiteral("projets trouvés")));
    if (!batch.finished) {
        showProgress(tally_, QStringLiteral("Recherche en cours"));
        return;
    }
    setSearching(false);
    if (tally_.missingRoots > 0 && folderChoice->isChecked())
        progressLabel->setText(QStringLiteral("Le dossier « %1 » n'existe pas.").arg(folderEdit->text().trimmed()));
    else
        showProgress(tally_, QStringLiteral("Recherche terminée"));
}

void SearchWindow::showProgress(const search::Tally& tally, const QString& state)
{
    QStringList parts{counted(tally.folders, QStringLiteral("dossier parcouru"), QStringLiteral("dossiers parcourus"))};
    if (tally.unreadableFolders > 0)
        parts << counted(tally.unreadableFolders, QStringLiteral("dossier illisible"), QStringLiteral("dossiers illisibles"));
    if (tally.unreadableFiles > 0)
        parts << counted(tally.unreadableFiles, QStringLiteral("fichier illisible"), QStringLiteral("fichiers illisibles"));
    if (tally.notesNotDownloaded > 0)
        parts << counted(tally.notesNotDownloaded, QStringLiteral("note non téléchargée"),
                         QStringLiteral("notes non téléchargées"));
    if (tally.missingRoots > 0)
        parts << counted(tally.missingRoots, QStringLiteral("signet introuvable"), QStringLiteral("signets introuvables"));
    if (tally.uncheckedExports > 0)
        parts << counted(tally.uncheckedExports, QStringLiteral("export non vérifié"), QStringLiteral("exports non vérifiés"));
    if (tally.projectsToRead > 0) {
        const QLocale french(QLocale::French, QLocale::France);
        parts << QStringLiteral("Projets lus : %1 / %2")
                     .arg(french.toString(qulonglong(tally.projectsRead)), french.toString(qulonglong(tally.projectsToRead)));
    }
    progressLabel->setText(state + QStringLiteral(" : ") + parts.join(QStringLiteral(", ")));
    if (results->rowCount() == 0 && !searching_)
        countLabel->setText(QStringLiteral("Aucun projet trouvé"));
}

void SearchWindow::setSearching(bool searching)
{
    searching_ = searching;
    stopButton->setEnabled(searching);
    updateButtons();
}

void SearchWindow::updateButtons()
{
    const bool any = results->rowCount() > 0;
    actionsButton->setEnabled(any);
    exportListButton->setEnabled(any && !searching_);
    actions->updateActions();
}

void SearchWindow::exportList()
{
    if (lastList_.isEmpty()) {
        QDir folder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        if (!folder.exists())
            folder = QDir::home();
        lastList_ = folder.filePath(QStringLiteral("Liste des projets.csv"));
    }
    const auto path = prompts::current().saveFile(
        this, {QStringLiteral("Exporter la liste"), QStringLiteral("Liste CSV (Excel, LibreOffice)|*.csv"),
               QDir::toNativeSeparators(lastList_)});
    if (!path)
        return;
    // The rows as the table shows them, in its order.
    const std::vector<search::CsvRow> rows = results->csvRows();
    const file_io::WriteResult written = search::writeCsv(paths::toFileSystem(*path), rows);
    if (!written.ok) {
        prompts::message(this, QStringLiteral("La liste n'a pas pu être enregistrée dans « %1 » : %2.")
                                   .arg(*path, QString::fromStdString(written.error)));
        return;
    }
    lastList_ = *path;
    progressLabel->setText(QStringLiteral("Liste enregistrée dans « %1 » : %2.")
                               .arg(*path, counted(rows.size(), QStringLiteral("projet"), QStringLiteral("projets"))));
}

void SearchWindow::closeEvent(QCloseEvent* event)
{
    stopSearch();
    event->accept();
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == resultsView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            actions->goToCurrent();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orvasel
