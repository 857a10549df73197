// The note editor and the exported-audio field: loading a project's information file, tracking
// the changes to its note and field, and saving them without ever replacing unseen what someone
// else wrote to the file meanwhile.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "platform/ansi.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "storage/info_file.h"

#include <QDateTime>
#include <QFileInfo>
#include <QScrollBar>

using namespace orvasel;

namespace {

const QString kWriteError = QStringLiteral("Erreur à l'écriture de votre fichier d'information");

// The information file's bytes as the editor last loaded or saved them. A save compares the file
// with them, so that it never replaces unseen what someone else wrote meanwhile.
std::string InfoFileAsShown;

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

struct ConflictCopy {
    QString name;     // the copy's file name, when it was written
    QString failure;  // the system's reason, when it was not
};

// Keeps bytes in a new file beside the information file, named the way synchronisation tools name
// the versions they keep: "<project>.cpr.info.conflit-<date-heure>". Never replaces a file.
ConflictCopy keepConflictCopy(const QString& infoPath, const std::string& bytes)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    file_io::WriteResult written;
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const QString copy = infoPath + QStringLiteral(".conflit-") + stamp +
                             (attempt > 1 ? QStringLiteral("-%1").arg(attempt) : QString());
        written = file_io::createNewFile(paths::toFileSystem(copy), bytes);
        if (written.ok)
            return {paths::fileNamePart(copy), {}};
        if (!QFileInfo::exists(copy))
            break;
    }
    return {{}, QString::fromStdString(written.error)};
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
        ShowInfoFile(read.bytes);
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
        } else if (const auto created = file_io::createNewFile(infoPath, info_file::markerOnly()); created.ok) {
            InfoFileAsShown = info_file::markerOnly();
            Memo1->setReadOnly(false);
        } else {
            // An empty editor that takes no text would look like an empty note.
            prompts::message(this, QStringLiteral("Impossible de créer la note de ce projet : %1 (%2).")
                                       .arg(CurrentInfoPath, QString::fromStdString(created.error)));
            return;
        }
    }
    DiskWatch1.SetFile(Memo1->isReadOnly() ? QString() : CurrentInfoPath);
    Button4->setEnabled(true);
}

void TForm1::ShowInfoFile(const std::string& bytes)
{
    const info_file::Contents contents = info_file::parse(bytes);
    Memo1->SetText(ansi::toUnicode(contents.note));
    fillExportField(Edit1, ansi::toUnicode(contents.exportPath));
    InfoFileAsShown = bytes;
    // What was loaded is what a change is measured against, wherever the keyboard focus is.
    NotesSnapshot = Memo1->Text();
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
    const std::string infoPath = paths::toFileSystem(CurrentInfoPath);
    // A file gone since it was loaded is simply written again; one changed meanwhile is the user's call.
    const file_io::ReadResult onDisk = file_io::readWholeFile(infoPath);
    if (onDisk.status == file_io::ReadStatus::Unreadable) {
        prompts::message(this, QStringLiteral("La note n'a pas été enregistrée : %1 ne peut pas être relu pour "
                                              "vérifier que personne ne l'a modifié (%2). Réessayez dans un instant.")
                                   .arg(CurrentInfoPath, QString::fromStdString(onDisk.error)));
        return;
    }
    if (onDisk.status == file_io::ReadStatus::Ok && onDisk.bytes != InfoFileAsShown && onDisk.bytes != bytes &&
        !SaveOverOutsideChange(bytes, onDisk.bytes))
        return;
    if (!file_io::writeFileAtomically(infoPath, bytes).ok) {
        prompts::message(this, kWriteError);
        return;
    }
    InfoFileAsShown = bytes;
    // The text saved is what the next change is measured against: an undo back past the save is a change.
    NotesSnapshot = note;
    LeaveUnsavedState();
}

bool TForm1::SaveOverOutsideChange(const std::string& mine, const std::string& theirs)
{
    const QString project = paths::fileNamePart(CurrentProjectPath);
    const QString question =
        QStringLiteral("La note de « %1 » a été modifiée sur le disque depuis que vous l'avez ouverte "
                       "(par une autre copie d'Orvasel, un autre ordinateur ou une synchronisation).\n\n"
                       "Oui : enregistrer votre texte ; l'autre version est gardée dans un fichier à côté.\n"
                       "Non : afficher l'autre version ; votre texte est gardé dans un fichier à côté.\n"
                       "Annuler : ne rien enregistrer pour l'instant ; votre texte reste affiché.")
            .arg(project);
    const prompts::Answer answer = prompts::confirm(this, question, prompts::Choice::YesNoCancel);
    if (answer != prompts::Answer::Yes && answer != prompts::Answer::No)
        return false;
    const bool saveMine = answer == prompts::Answer::Yes;
    const ConflictCopy copy = keepConflictCopy(CurrentInfoPath, saveMine ? theirs : mine);
    if (!copy.failure.isEmpty()) {
        prompts::message(this, QStringLiteral("La note n'a pas été enregistrée : la copie de %1 n'a pas pu être "
                                              "écrite (%2). Votre texte reste affiché.")
                                   .arg(saveMine ? QStringLiteral("l'autre version") : QStringLiteral("votre texte"),
                                        copy.failure));
        return false;
    }
    if (saveMine) {
        prompts::message(this, QStringLiteral("L'autre version de la note est gardée dans « %1 », à côté de « %2 ».")
                                   .arg(copy.name, project));
        return true;
    }
    ShowInfoFile(theirs);
    LeaveUnsavedState();
    prompts::message(this, QStringLiteral("Votre texte est gardé dans « %1 », à côté de « %2 ».").arg(copy.name, project));
    return false;
}

void TForm1::DiskWatch1FileChange(QObject*)
{
    // Only a note shown and not being edited follows its file: an edited one meets the change at its save.
    if (Memo1->isReadOnly() || Button2->isEnabled())
        return;
    const file_io::ReadResult read = file_io::readWholeFile(paths::toFileSystem(CurrentInfoPath));
    if (read.status != file_io::ReadStatus::Ok || read.bytes == InfoFileAsShown)
        return;
    // The reader keeps their place in the text as far as it still reaches.
    const int caret = Memo1->textCursor().position();
    const int scroll = Memo1->verticalScrollBar()->value();
    ShowInfoFile(read.bytes);
    QTextCursor cursor = Memo1->textCursor();
    cursor.setPosition(std::min(caret, Memo1->document()->characterCount() - 1));
    Memo1->setTextCursor(cursor);
    Memo1->verticalScrollBar()->setValue(scroll);
}

void TForm1::Memo1Enter(QObject*)
{
    NotesSnapshot = Memo1->Text();
}

void TForm1::Memo1KeyDown(QObject*, int&, Qt::KeyboardModifiers) {}

void TForm1::Memo1KeyUp(QObject*, int&, Qt::KeyboardModifiers)
{
    Memo1Change(Memo1);
}

void TForm1::Memo1Change(QObject*)
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
