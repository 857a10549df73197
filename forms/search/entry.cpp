#include "forms/search/entry.h"

#include "forms/main/TForm1.h"
#include "forms/main/state.h"
#include "forms/search/go_to_project.h"
#include "forms/search/search_window.h"
#include "platform/index_location.h"
#include "platform/paths.h"
#include "platform/player.h"

#include <QDir>
#include <QShortcut>

namespace orvasel {
namespace {

// The folder the main window names in Label2; the user's home when it names none.
QString listedFolder(const TForm1& form)
{
    const QString folder = form.Label2->Caption();
    if (folder.isEmpty())
        return QDir::toNativeSeparators(QDir::homePath());
    return paths::folderName(folder);
}

// Created at first use, a window of its own owned by the main window, which ends it (and its
// search) when it goes.
SearchWindow* searchWindowOf(TForm1* form)
{
    if (auto* window = form->findChild<SearchWindow*>())
        return window;
    SearchWindow::Links links;
    links.listedFolder = [form] { return listedFolder(*form); };
    links.bookmarkFolders = [form] {
        QStringList folders;
        for (const QString& bookmark : form->ComboBox1->Items())
            folders << paths::cutAfterLastSeparator(bookmark);
        folders.removeAll(QString());
        return folders;
    };
    links.goTo = [form](const QString& folderText, const QString& project) {
        showProjectInMainWindow(*form, folderText, project, form->findChild<SearchWindow*>());
    };
    // The main window's player and its dialog, as "Play" has them.
    links.play = [form](QWidget* owner, const QString& audioPath) {
        player::play(owner, form->OpenDialog2, AudioPlayerPath, audioPath);
    };
    links.noteExport = [form](QWidget* owner, const QString& projectPath, const QString& exportPath) {
        return form->NoteFoundExport(owner, projectPath, exportPath);
    };
    links.indexFile = index_location::indexFile();
    return new SearchWindow(form, std::move(links));
}

}  // namespace

void InstallSearchShortcuts(TForm1* form)
{
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), form), &QShortcut::activated, form,
                     [form] { searchWindowOf(form)->open(); });
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_F3), form), &QShortcut::activated, form,
                     [form] { searchWindowOf(form)->searchAgain(); });
}

}  // namespace orvasel
