#include "forms/search/result_actions.h"

#include "forms/search/results_model.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "search/catalogue.h"

#include <QAction>
#include <QMenu>
#include <QTableView>

namespace orvasel {
namespace {

// The export found, as the menu names it: from the project's folder ("Mixdown\Song.wav").
QString foundExportName(const SearchResult& result)
{
    QString name = result.foundExport;
    if (name.startsWith(result.folder))
        name.remove(0, result.folder.size());
    return name.replace(QLatin1Char('&'), QLatin1String("&&"));
}

// A box lists this many plugins at most.
constexpr qsizetype kPluginsListed = 60;

// How often the checks asked for are looked at.
constexpr int kCheckLook = 50;  // milliseconds

}  // namespace

ResultActions::ResultActions(QWidget* owner, QTableView* view, ResultsModel* results, Links links)
    : QObject(owner), owner_(owner), view_(view), results_(results), links_(std::move(links))
{
    menu = new QMenu(owner);
    goToAction = menu->addAction(QStringLiteral("&Aller au projet"));
    openFolderAction = menu->addAction(QStringLiteral("&Ouvrir le dossier"));
    playAction = menu->addAction(QStringLiteral("É&couter l'export"));
    pluginsAction = menu->addAction(QStringLiteral("&Plugins du projet…"));
    noteExportAction = menu->addAction(QStringLiteral("&Noter l'export trouvé"));
    checkExportAction = menu->addAction(QStringLiteral("&Vérifier l'export"));
    connect(menu, &QMenu::aboutToShow, this, &ResultActions::updateActions);
    connect(goToAction, &QAction::triggered, this, &ResultActions::goToCurrent);
    connect(openFolderAction, &QAction::triggered, this, &ResultActions::openFolder);
    connect(playAction, &QAction::triggered, this, &ResultActions::play);
    connect(pluginsAction, &QAction::triggered, this, &ResultActions::showPlugins);
    connect(noteExportAction, &QAction::triggered, this, &ResultActions::noteExport);
    connect(checkExportAction, &QAction::triggered, this, &ResultActions::checkExport);
    checkTimer_.setInterval(kCheckLook);
    connect(&checkTimer_, &QTimer::timeout, this, &ResultActions::collectChecks);
}

const SearchResult* ResultActions::current() const
{
    const QModelIndex current = view_->currentIndex();
    return current.isValid() ? &results_->at(current.row()) : nullptr;
}

void ResultActions::updateActions()
{
    const SearchResult* result = current();
    goToAction->setEnabled(result);
    openFolderAction->setEnabled(result);
    playAction->setEnabled(result && !result->exportPath.isEmpty());
    pluginsAction->setEnabled(result && result->details && result->details->pluginCount > 0);
    const bool found = result && result->exportState == search::ExportState::ToNote;
    noteExportAction->setEnabled(found);
    noteExportAction->setText(found ? QStringLiteral("&Noter l'export trouvé (%1)").arg(foundExportName(*result))
                                    : QStringLiteral("&Noter l'export trouvé"));
    checkExportAction->setEnabled(result && result->exportState == search::ExportState::Unchecked
                                  && !result->exportPath.isEmpty());
}

void ResultActions::showMenu(const QPoint& pos)
{
    const QModelIndex there = view_->indexAt(pos);
    if (there.isValid())
        view_->setCurrentIndex(there);
    const QModelIndex current = view_->currentIndex();
    if (!current.isValid())
        return;
    // Beside the result, whether asked for by the mouse or by the keyboard.
    const QRect row = view_->visualRect(current);
    const QPoint place = there.isValid() ? pos : QPoint(row.left() + 8, row.bottom());
    menu->popup(view_->viewport()->mapToGlobal(place));
}

void ResultActions::goToCurrent()
{
    if (const SearchResult* result = current())
        links_.goTo(result->folder, result->project);
}

void ResultActions::openFolder()
{
    if (const SearchResult* result = current())
        shell::showInFileManager(owner_, result->folder, result->project);
}

void ResultActions::play()
{
    const SearchResult* result = current();
    if (result && !result->exportPath.isEmpty() && links_.play)
        links_.play(owner_, result->exportPath);
}

void ResultActions::showPlugins()
{
    const SearchResult* result = current();
    if (!result || !result->details || result->details->plugins.isEmpty())
        return;
    const QStringList& plugins = result->details->plugins;
    QStringList lines = plugins.mid(0, kPluginsListed);
    if (plugins.size() > kPluginsListed)
        lines << QStringLiteral("… et %1 autres").arg(plugins.size() - kPluginsListed);
    prompts::message(owner_, QStringLiteral("Plugins de « %1 » (%2) :\n\n%3")
                                 .arg(result->project)
                                 .arg(plugins.size())
                                 .arg(lines.join(QLatin1Char('\n'))));
}

void ResultActions::noteExport()
{
    const SearchResult* result = current();
    if (!result || result->exportState != search::ExportState::ToNote || !links_.noteExport)
        return;
    const std::size_t id = result->id;
    const QString path = result->foundExport;
    if (!links_.noteExport(owner_, result->folder + result->project, path))
        return;
    results_->changed(id, [&](SearchResult& noted) {
        noted.exportPath = path;
        noted.foundExport.clear();
        noted.exportState = search::ExportState::Unchecked;
    });
    check(id, path);
}

void ResultActions::checkExport()
{
    const SearchResult* result = current();
    if (result && result->exportState == search::ExportState::Unchecked && !result->exportPath.isEmpty())
        check(result->id, result->exportPath);
}

void ResultActions::check(std::size_t id, const QString& path)
{
    // The user asked for this one: checked on whichever machine it is.
    checking_[checker_.ask(paths::toFileSystem(path), true)] = id;
    checkTimer_.start();
}

void ResultActions::forgetChecks()
{
    checking_.clear();
    checkTimer_.stop();
}

void ResultActions::collectChecks()
{
    checker_.collect([this](std::size_t ticket, search::ExportState state, std::int64_t modified) {
        const auto asked = checking_.find(ticket);
        if (asked == checking_.end())
            return;
        results_->changed(asked->second, [&](SearchResult& result) {
            result.exportState = search::againstProject(state, modified, result.projectFile);
        });
        checking_.erase(asked);
    });
    if (checking_.empty())
        checkTimer_.stop();
}

}  // namespace orvasel
