// Drives, folders and the project list: the listing of a folder's project files.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "platform/file_search.h"
#include "platform/listed_names.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QApplication>

using namespace orvasel;

namespace {

// The selection prompt: four lines of a single space, then an arrow of "<<" marks pointing at the
// project list. The short form, written by "Rafraichir", draws the same arrow narrower.
struct ArrowLine {
    int longIndent;
    int shortIndent;
    const char* text;
};

constexpr ArrowLine kArrow[] = {
    {25, 8, "<<"},
    {23, 7, "<<      sélectionnez"},
    {22, 6, "<<"},
    {21, 5, "<<         un fichier"},
    {22, 6, "<<"},
    {23, 7, "<<      à consulter"},
    {25, 8, "<<"},
};

QStringList selectionPrompt(bool longForm)
{
    QStringList lines(4, QStringLiteral(" "));
    for (const ArrowLine& line : kArrow) {
        const int indent = longForm ? line.longIndent : line.shortIndent;
        lines << QString(indent, QLatin1Char(' ')) + QString::fromUtf8(line.text);
    }
    return lines;
}

const QString kProjectPattern = QStringLiteral("*.cpr");

// The names of the last search, kept for the next listing of the same folder.
ListedNames ProjectNames;

// The busy cursor while a listing runs (a network folder or a huge one can take a while); it goes
// when the listing ends, however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

QStringList TForm1::FindProjects(const QString& folderText) const
{
    FileSearch search((folderText + kProjectPattern).toStdString());
    ProjectNames.clear();
    SearchEntry entry;
    while (search.next(entry)) {
        if (entry.name == ".." || entry.name == ".")
            continue;
        if (entry.attributes & kAttributeDirectory)
            continue;
        ProjectNames.add(entry.name);
    }
    return ProjectNames.names();
}

int TForm1::SearchProjects(const QString& folderText)
{
    // Added in the order of the search, all at once.
    const QStringList found = FindProjects(folderText);
    ListBox2->AddItems(found);
    return int(found.size());
}

int TForm1::ListFolder(const QString& folderText, Prompt prompt, WhenNothingFound whenNothingFound)
{
    // A listing empties the editor: never while it holds an unsaved note. The controls that list
    // are locked then, but the folder list may still be moved by the system (its folder deleted),
    // and a bookmark named in a dialog that never got the focus may still be confirmed.
    if (Button2->isEnabled())
        return 0;
    const BusyCursor busy;
    Memo1->SetText(QString());
    // Until a project is selected the editor shows no note of its own: nothing typed there may
    // reach the information file of the project selected before.
    Memo1->setReadOnly(true);
    ListBox2->Clear();
    Label2->SetCaption(folderText);
    // From now on the list follows this folder; no note is shown until a project is selected.
    DiskWatch1.SetFolder(folderText.isEmpty() ? QString() : paths::folderName(folderText));
    DiskWatch1.SetFile(QString());
    const int found = folderText.isEmpty() ? 0 : SearchProjects(folderText);
    if (found == 0 && whenNothingFound == WhenNothingFound::Stop)
        return 0;
    // Flipping the property rebuilds the list in sorted order, whichever way it goes.
    ListBox2->SetSorted(!ListBox2->Sorted());
    CurrentFolder = folderText;
    for (const QString& line : selectionPrompt(prompt == Prompt::Long))
        Memo1->AppendLine(line);
    return found;
}

void TForm1::DriveComboBox1Change(QObject*)
{
    DirectoryListBox1->SetDrive(DriveComboBox1->Drive());
}

void TForm1::DirectoryListBox1Change(QObject*)
{
    // A root folder already ends with its separator and comes out doubled ("C:\\", "//").
    const QString folderText = DirectoryListBox1->Directory() + paths::separator();
    if (ListFolder(folderText, Prompt::Long, WhenNothingFound::Stop) > 0)
        Button3->setEnabled(true);
}

void TForm1::ComboBox1Change(QObject*)
{
    if (Button2->isEnabled())
        return;
    // One busy cursor over the listings of the bookmark and of the folder list that follows it.
    const BusyCursor busy;
    const QString bookmark = ComboBox1->SelectedText();
    ListFolder(paths::cutAfterLastSeparator(bookmark), Prompt::Long, WhenNothingFound::GoOn);
    Button3->setEnabled(true);
    ComboBox2->SetItemIndex(ComboBox1->ItemIndex());
    // Moving the folder list lists its folder again through its change event.
    DirectoryListBox1->SetDirectory(bookmark);
    DriveComboBox1->SetDrive(DirectoryListBox1->Drive());
    DirectoryListBox1->SetDirectory(bookmark);
}

void TForm1::DiskWatch1FolderChange(QObject*)
{
    const QString folderText = Label2->Caption();
    if (folderText.isEmpty())
        return;
    if (folderText != CurrentFolder) {
        // The folder list's folder held no project when it was listed, and the list is empty: once
        // projects appear, it is listed as the folder list lists it.
        if (!FindProjects(folderText).isEmpty())
            DirectoryListBox1Change(DirectoryListBox1);
        return;
    }
    // Projects created, deleted or renamed: the list follows, the selection, the note shown and
    // its unsaved state stay as they are.
    const QString selected = ListBox2->SelectedText();
    ListBox2->SyncItems(FindProjects(folderText));
    if (!selected.isEmpty() && ListBox2->SelectedText().isEmpty()) {
        QString text = QStringLiteral("Le projet « %1 » n'est plus dans le dossier %2 : il a été supprimé, "
                                      "renommé ou déplacé.")
                           .arg(selected, folderText);
        if (Button2->isEnabled())
            text += QStringLiteral("\n\nVotre note, pas encore enregistrée, reste affichée.");
        prompts::message(this, text);
    }
}

void TForm1::Button3Click(QObject*)
{
    if (CurrentFolder.isEmpty())
        return;
    ListFolder(paths::cutAfterLastSeparator(CurrentFolder), Prompt::Short, WhenNothingFound::GoOn);
}
