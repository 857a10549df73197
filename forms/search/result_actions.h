#pragma once
// The menu of a search result (its context menu, the "Actions" button's, Shift+F10's) and what
// each of its actions does: go to the project, open its folder, play its export, list its
// plugins, note the export found for it, check an export that was not checked.
#include "search/export_check.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>

class QAction;
class QMenu;
class QTableView;
class QWidget;

namespace orvasel {

class ResultsModel;
struct SearchResult;

class ResultActions : public QObject {
    Q_OBJECT
public:
    // Where the actions lead, given by the main window.
    struct Links {
        std::function<void(const QString& folderText, const QString& project)> goTo;
        // Plays an audio file with the user's player, as "Play" does, the boxes over owner.
        std::function<void(QWidget* owner, const QString& audioPath)> play;
        // Writes the export into the project's information file; false when it was not (told over owner).
        std::function<bool(QWidget* owner, const QString& projectPath, const QString& exportPath)> noteExport;
    };

    ResultActions(QWidget* owner, QTableView* view, ResultsModel* results, Links links);

    QMenu* menu;
    QAction* goToAction;
    QAction* openFolderAction;
    QAction* playAction;
    QAction* pluginsAction;
    QAction* noteExportAction;
    QAction* checkExportAction;

    // The menu of the result at pos (the view's viewport coordinates), made current; of the
    // current one when there is none there (pos outside).
    void showMenu(const QPoint& pos);
    // Each action enabled, and named, for the current result.
    void updateActions();
    void goToCurrent();
    // A new search: the rows checked so far are gone, their answers no longer wanted.
    void forgetChecks();

private:
    const SearchResult* current() const;  // none when no row is current
    void openFolder();
    void play();
    void showPlugins();
    void noteExport();
    void checkExport();
    void check(std::size_t id, const QString& path);
    void collectChecks();

    QWidget* owner_;
    QTableView* view_;
    ResultsModel* results_;
    Links links_;
    // Checks asked for one row at a time: on any volume, never on the window's thread.
    search::ExportChecker checker_;
    std::map<std::size_t, std::size_t> checking_;  // ticket -> result id
    QTimer checkTimer_;
};

}  // namespace orvasel
