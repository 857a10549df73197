#pragma once
// "Rechercher dans les notes": a modeless window that searches the notes of a whole folder tree,
// or of every bookmark's tree, and lists the projects found while the search runs, with the state
// of each one's export, then what each project file holds (the version that saved it, its
// plugins). A filter keeps the projects whose export is lost or older than the project, or that
// have no export or no note; each result's menu acts on it (result_actions.h); the list shown can
// be kept as a CSV file. The window is a view: the columns, the row actions and the search each
// live in their own file.
#include "forms/search/background_search.h"
#include "forms/search/result_actions.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;

namespace orvasel {

class ResultsModel;
struct SearchResult;

class SearchWindow : public QWidget {
    Q_OBJECT
public:
    // Where a search may look and where a result leads, given by the main window.
    struct Links {
        std::function<QString()> listedFolder;        // the folder the main window lists
        std::function<QStringList()> bookmarkFolders; // every bookmark's folder
        std::function<void(const QString& folderText, const QString& project)> goTo;
        std::shared_ptr<search::Disk> disk = search::localDisk();  // where the search looks
        // Plays an audio file with the user's player, as "Play" does, the boxes over owner.
        std::function<void(QWidget* owner, const QString& audioPath)> play = nullptr;
        // Notes an export found in the project's information file, as the main window saves.
        std::function<bool(QWidget* owner, const QString& projectPath, const QString& exportPath)> noteExport = nullptr;
        QString indexFile = {};  // where what was read of the projects is kept; empty: nowhere
    };

    SearchWindow(QWidget* parent, Links links);
    ~SearchWindow() override;

    // Shown and brought forward, looking in the folder the main window lists, the text field ready.
    void open();
    // Shown again and the last search run anew (the first time, the same as open).
    void searchAgain();

    void startSearch();
    void stopSearch();
    bool searching() const { return searching_; }

    QLineEdit* queryEdit;
    QComboBox* filterChoice;
    QRadioButton* folderChoice;
    QLineEdit* folderEdit;
    QPushButton* chooseFolderButton;
    QRadioButton* bookmarksChoice;
    QPushButton* searchButton;
    QPushButton* stopButton;
    QTableView* resultsView;
    QLabel* countLabel;
    QLabel* progressLabel;
    QPushButton* actionsButton;
    QPushButton* exportListButton;
    ResultsModel* results;
    ResultActions* actions;
    // The menu of a result: its context menu, the actions button's, and Shift+F10's.
    QMenu* resultMenu;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseFolder();
    void resultsWaiting();
    void takeResults();
    void exportList();
    void updateButtons();
    void showProgress(const search::Tally& tally, const QString& state);
    void setSearching(bool searching);

    Links links_;
    BackgroundSearch background_;
    QTimer takeTimer_;          // the next take of the results waiting
    QElapsedTimer sinceTake_;   // since the last one that brought results
    bool backlog_ = false;      // it left results waiting
    bool searching_ = false;
    bool searchedOnce_ = false;
    search::Tally tally_;
    QString lastList_;  // where the list was last written
};

}  // namespace orvasel
