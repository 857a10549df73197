// The note editor and the exported-audio field: loading a project's information file, tracking
// the changes to its note and field, and saving them.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "platform/ansi.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "storage/info_file.h"

using namespace orvasel;

namespace {

const QString kWriteError = QStringLiteral("Erreur à l'écriture de votre fichier d'information");

// Loading fills the field while it is disarmed, so that its own change never counts as the user's.
void fillExportField(QLineEdit* field, const QString& text)
{
    ExportFieldArmed = 0;
    field->setText(QString());
    field->setText(text);
    ++ExportFieldArmed;
}

// What an unsaved note locks, in this order. The bookmark list too: choosing a bookmark lists a
// folder, which empties the editor.
QList<QWidget*> navigationControls(const TForm1& form)
{
    return {form.ListBox2, form.Button5, form.Button6, form.DirectoryListBox1, form.DriveComboBox1,
            form.Button3, form.ComboBox2};
}

}  // namespace

void TForm1::ListBox2Click(QObject*)
{
    if (ListBox2->ItemIndex() < 0)
        return;
    CurrentProjectPath = CurrentFolder + ListBox2->SelectedText();
    CurrentInfoPath = CurrentProjectPath + QStringLiteral(".info");
    ProjectLoaded = true;
    // The editor becomes writable only once it holds this project's note: what it shows until
    // then must never be saved over the information file.
    Memo1->setReadOnly(true);

    const std::string infoPath = paths::toFileSystem(CurrentInfoPath);
    const file_io::ReadResult read = file_io::readWholeFile(infoPath);
    if (read.status == file_io::ReadStatus::Ok) {
        const info_file::Contents contents = info_file::parse(read.bytes);
        Memo1->SetText(ansi::toUnicode(contents.note));
        fillExportField(Edit1, ansi::toUnicode(contents.exportPath));
        Memo1->setReadOnly(false);
        // Entering the editor takes the snapshot of the note just loaded.
        Memo1->setFocus();
    } else {
        Memo1->SetText(QString());
        fillExportField(Edit1, QString());
        if (read.status == file_io::ReadStatus::Unreadable) {
            // A note that exists but cannot be read is never replaced by an empty one.
            prompts::message(this, QStringLiteral("Impossible de lire la note de ce projet : %1 (%2). "
                                                  "Le fichier n'a pas été modifié.")
                                       .arg(CurrentInfoPath, QString::fromStdString(read.error)));
        } else if (file_io::createNewFile(infoPath, info_file::markerOnly()).ok) {
            Memo1->setReadOnly(false);
        } else {
            return;
        }
    }
    Button4->setEnabled(true);
}

void TForm1::Button2Click(QObject*)
{
    const QString note = Memo1->Text();
    const QString exportPath = Edit1->text();
    const std::optional<std::string> noteBytes = ansi::fromUnicode(note);
    const std::optional<std::string> exportBytes = ansi::fromUnicode(exportPath);
    if (!noteBytes || !exportBytes) {
        prompts::message(this, QStringLiteral("La note n'a pas été enregistrée : ces caractères ne peuvent "
                                              "pas être stockés dans le fichier d'information : %1\n"
                                              "Remplacez-les, puis enregistrez à nouveau.")
                                   .arg(ansi::unstorableCharacters(note + exportPath)));
        return;
    }
    const std::string bytes = info_file::serialize(*noteBytes, *exportBytes);
    if (!file_io::writeFileAtomically(paths::toFileSystem(CurrentInfoPath), bytes).ok) {
        prompts::message(this, kWriteError);
        return;
    }
    LeaveUnsavedState();
}

void TForm1::Memo1Enter(QObject*)
{
    NotesSnapshot = Memo1->Text();
}

void TForm1::Memo1KeyDown(QObject*, int&, Qt::KeyboardModifiers) {}

void TForm1::Memo1KeyUp(QObject*, int&, Qt::KeyboardModifiers)
{
    // A read-only editor holds no note of the selected project (the selection prompt, or a note
    // that could not be read): nothing it shows counts as a change. Exact comparison, so that no
    // change, however small, goes unnoticed.
    if (ProjectLoaded && !Memo1->isReadOnly() && Memo1->Text() != NotesSnapshot)
        EnterUnsavedState();
}

void TForm1::Edit1Change(QObject*)
{
    // Saving writes the editor with the field: while the editor holds no note, a field change
    // must not make the prompt savable over the last project's note.
    if (ProjectLoaded && ExportFieldArmed > 0 && !Memo1->isReadOnly())
        EnterUnsavedState();
}

void TForm1::Button8Click(QObject*)
{
    OpenDialog1.Title = QStringLiteral("Export Audio du projet en cours");
    OpenDialog1.Filter = QStringLiteral("Audio (*.wav,*.ogg,*.mp3) |*.wav;*.ogg;*.mp3");
    if (OpenDialog1.Execute(this))
        Edit1->setText(OpenDialog1.FileName);
}

void TForm1::EnterUnsavedState()
{
    Button2->setEnabled(true);
    for (QWidget* control : navigationControls(*this))
        control->setEnabled(false);
}

void TForm1::LeaveUnsavedState()
{
    Button2->setEnabled(false);
    for (QWidget* control : navigationControls(*this))
        control->setEnabled(true);
}
