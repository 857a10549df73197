#include "forms/search/go_to_project.h"

#include "forms/main/TForm1.h"
#include "platform/paths.h"
#include "platform/prompts.h"

namespace orvasel {
namespace {

const QString kUnsavedNote = QStringLiteral(
    "La note en cours n'est pas enregistrée.\nEnregistrez-la avant d'ouvrir un autre projet.");
const QString kBookmarkPending = QStringLiteral("Terminez d'abord l'ajout du signet.");

}  // namespace

bool showProjectInMainWindow(TForm1& form, const QString& folderText, const QString& project, QWidget* owner)
{
    if (form.Button2->isEnabled()) {
        prompts::message(owner, kUnsavedNote);
        return false;
    }
    if (!form.isEnabled()) {
        prompts::message(owner, kBookmarkPending);
        return false;
    }
    const QString folder = paths::folderName(folderText);
    const QString before = form.DirectoryListBox1->Directory();
    // The folder list's change lists the folder; the drive picker follows it, as a bookmark does.
    form.DirectoryListBox1->SetDirectory(folder);
    const bool moved = form.DirectoryListBox1->Directory() != before;
    if (!moved && paths::folderName(before) != folder) {
        prompts::message(owner, QStringLiteral("Le dossier « %1 » ne peut plus être ouvert.").arg(folder));
        return false;
    }
    form.DriveComboBox1->SetDrive(form.DirectoryListBox1->Drive());
    // Already there: opened again, so the list shows the folder as it is now.
    if (!moved)
        form.DirectoryListBox1Change(form.DirectoryListBox1);

    const int row = int(form.ListBox2->Items().indexOf(project));
    if (row < 0) {
        prompts::message(owner, QStringLiteral("Le projet « %1 » n'est plus dans ce dossier.").arg(project));
        return false;
    }
    form.ListBox2->SetItemIndex(row);
    form.ListBox2Click(form.ListBox2);
    form.raise();
    form.activateWindow();
    return true;
}

}  // namespace orvasel
