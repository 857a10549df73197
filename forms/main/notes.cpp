// The note editor and the exported-audio field: loading a project's information file, tracking
// the changes to its note and field, and saving them without ever replacing unseen what someone
// else wrote to the file meanwhile.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "forms/main/conflict_copy.h"
#include "platform/ansi.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/session_end.h"
#include "platform/storable_text.h"
#include "storage/info_file.h"

#include <QScrollBar>

using namespace orvasel;

namespace {

const QString kWriteError = QStringLiteral("Erreur à l'écriture de votre fichier d'information");

// A note larger than this is no note typed by hand: it is shown in part and never written, and
// reading it never takes the window long.
constexpr std::size_t kLongestNote = 1u << 20;

// The file read for the editor: whole, or its first part when it is too large to be a note.
file_io::ReadResult readInfoFile(const QString& path)
{
    return file_io::readFileStart(paths::toFileSystem(path), kLongestNote + 1);
}

bool noteTooLarge(const file_io::ReadResult& read)
{
    return read.status == file_io::ReadStatus::Ok && read.bytes.size() > kLongestNote;
}

// The specified message first, then why, in a sentence of its own.
QString writeError(const QString& reason)
{
    QString sentence = reason;
    if (!sentence.isEmpty())
        sentence[0] = sentence[0].toUpper();
    return kWriteError + QStringLiteral("\n") + sentence + QStringLiteral(".");
}

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

QString where(const storable::Check& check, const QString& what)
{
    return QStringLiteral("Le premier est à la ligne %1, colonne %2 %3.")
        .arg(check.firstImpossibleLine)
        .arg(check.firstImpossibleColumn)
        .arg(what);
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
    InfoFileAsShown.reset();

    const file_io::ReadResult read = readInfoFile(CurrentInfoPath);
    if (noteTooLarge(read)) {
        ShowInfoFile(read.bytes.substr(0, kLongestNote));
        InfoFileAsShown.reset();
        prompts::message(this, QStringLiteral("La note de ce projet dépasse 1 Mo : %1. Elle est montrée en partie, "
                                              "sans pouvoir être modifiée ; le fichier n'a pas été modifié.")
                                   .arg(CurrentInfoPath));
    } else if (read.status == file_io::ReadStatus::Ok) {
        ShowInfoFile(read.bytes);
        Memo1->setReadOnly(false);
        // Entering the editor takes the snapshot of the note just loaded.
        Memo1->setFocus();
    } else {
        Memo1->SetText(QString());
        fillExportField(Edit1, QString());
        if (read.status == file_io::ReadStatus::Unreadable) {
            // A note that exists but cannot be read (or leads elsewhere) is never replaced.
            prompts::message(this, QStringLiteral("Impossible de lire la note de ce projet : %1 (%2). "
                                                  "Le fichier n'a pas été modifié.")
                                       .arg(CurrentInfoPath, QString::fromStdString(read.error)));
        } else if (const auto created =
                       file_io::createNewFile(paths::toFileSystem(CurrentInfoPath), info_file::markerOnly());
                   created.ok) {
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
    if (!Memo1->isReadOnly())
        OfferDraft();
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

bool TForm1::MakeStorable(QString& note, QString& exportPath)
{
    const storable::Check inNote = storable::check(note, storable::Lines::Many);
    const storable::Check inField = storable::check(exportPath, storable::Lines::One);
    // Each character named once, wherever it stands.
    const auto both = [](QStringList names, const QStringList& more) {
        for (const QString& name : more)
            if (!names.contains(name))
                names << name;
        return names.join(QStringLiteral(", "));
    };
    if (!inNote.impossible.isEmpty() || !inField.impossible.isEmpty()) {
        const QString where = !inNote.impossible.isEmpty() ? ::where(inNote, QStringLiteral("de la note"))
                                                           : ::where(inField, QStringLiteral("du chemin d'export"));
        prompts::message(this, QStringLiteral("La note n'a pas été enregistrée : ces caractères ne peuvent pas être "
                                              "stockés dans le fichier d'information : %1.\n%2\n"
                                              "Remplacez-les ou supprimez-les, puis enregistrez à nouveau.")
                                   .arg(both(inNote.impossible, inField.impossible), where));
        return false;
    }
    if (!inNote.replaceable.isEmpty() || !inField.replaceable.isEmpty()) {
        const QString question = QStringLiteral("Le fichier d'information ne peut pas stocker tels quels ces "
                                                "caractères : %1.\n\nRemplacer ces caractères par leurs "
                                                "équivalents et enregistrer ?")
                                     .arg(both(inNote.replaceable, inField.replaceable));
        if (prompts::confirm(this, question, prompts::Choice::YesNo) != prompts::Answer::Yes)
            return false;
    }
    // The editor and the field show what is saved, so that the saved text is the one changes are
    // measured against.
    if (inNote.withEquivalents != note) {
        const int caret = Memo1->textCursor().position();
        Memo1->SetText(inNote.withEquivalents);
        QTextCursor cursor = Memo1->textCursor();
        cursor.setPosition(std::min(caret, Memo1->document()->characterCount() - 1));
        Memo1->setTextCursor(cursor);
    }
    if (inField.withEquivalents != exportPath)
        Edit1->setText(inField.withEquivalents);
    note = Memo1->Text();
    exportPath = Edit1->text();
    return true;
}

void TForm1::Button2Click(QObject*)
{
    QString note = Memo1->Text();
    QString exportPath = Edit1->text();
    if (!MakeStorable(note, exportPath))
        return;
    const std::string bytes = info_file::serialize(*ansi::fromUnicode(note), *ansi::fromUnicode(exportPath));
    const std::string infoPath = paths::toFileSystem(CurrentInfoPath);
    const QString project = paths::fileNamePart(CurrentProjectPath);

    // The file is read again after every question: what arrives while the user answers is met by
    // another question, never written over.
    std::optional<std::string> seen = InfoFileAsShown;
    QStringList keptCopies;
    for (int round = 0;; ++round) {
        const file_io::ReadResult onDisk = readInfoFile(CurrentInfoPath);
        if (onDisk.status == file_io::ReadStatus::Unreadable) {
            prompts::message(this, writeError(QString::fromStdString(onDisk.error)));
            return;
        }
        if (noteTooLarge(onDisk) || round == 20) {
            prompts::message(this, writeError(QStringLiteral("le fichier sur le disque a été remplacé par un fichier "
                                                             "de plus de 1 Mo, ou change sans cesse ; il est laissé tel quel")));
            return;
        }
        const bool present = onDisk.status == file_io::ReadStatus::Ok;
        // A file gone since it was loaded is simply written again; one changed meanwhile is the user's call.
        if (present && onDisk.bytes != seen && onDisk.bytes != bytes) {
            const QString question =
                QStringLiteral("La note de « %1 » a été modifiée sur le disque depuis que vous l'avez ouverte "
                               "(par une autre copie d'Orvasel, un autre ordinateur ou une synchronisation).\n\n"
                               "Oui : enregistrer votre texte ; l'autre version est gardée dans un fichier à côté.\n"
                               "Non : afficher l'autre version ; votre texte est gardé dans un fichier à côté.\n"
                               "Annuler : ne rien enregistrer pour l'instant ; votre texte reste affiché.")
                    .arg(project);
            const prompts::Answer answer = prompts::confirm(this, question, prompts::Choice::YesNoCancel);
            if (answer != prompts::Answer::Yes && answer != prompts::Answer::No)
                return;
            const bool saveMine = answer == prompts::Answer::Yes;
            const ConflictCopy copy = keepConflictCopy(CurrentInfoPath, saveMine ? onDisk.bytes : bytes);
            if (!copy.failure.isEmpty()) {
                prompts::message(this, QStringLiteral("La note n'a pas été enregistrée : la copie de %1 n'a pas pu "
                                                      "être écrite (%2). Votre texte reste affiché.")
                                           .arg(saveMine ? QStringLiteral("l'autre version") : QStringLiteral("votre texte"),
                                                copy.failure));
                return;
            }
            if (!saveMine) {
                ShowInfoFile(onDisk.bytes);
                LeaveUnsavedState();
                prompts::message(this, QStringLiteral("Votre texte est gardé dans « %1 », à côté de « %2 ».")
                                           .arg(copy.name, project));
                return;
            }
            keptCopies << copy.name;
            seen = onDisk.bytes;
            continue;
        }
        const file_io::ReplaceResult written =
            file_io::replaceIfUnchanged(infoPath, bytes, present ? std::optional(onDisk.bytes) : std::nullopt);
        if (written.outcome == file_io::ReplaceResult::Outcome::Changed)
            continue;
        if (written.outcome == file_io::ReplaceResult::Outcome::Failed) {
            prompts::message(this, writeError(QString::fromStdString(written.error)));
            return;
        }
        break;
    }
    InfoFileAsShown = bytes;
    // The text saved is what the next change is measured against: an undo back past the save is a change.
    NotesSnapshot = note;
    LeaveUnsavedState();
    for (const QString& copy : keptCopies)
        prompts::message(this, QStringLiteral("L'autre version de la note est gardée dans « %1 », à côté de « %2 ».")
                                   .arg(copy, project));
}

void TForm1::DiskWatch1FileChange(QObject*)
{
    // Only a note shown and not being edited follows its file: an edited one meets the change at its save.
    if (Memo1->isReadOnly() || Button2->isEnabled())
        return;
    const file_io::ReadResult read = readInfoFile(CurrentInfoPath);
    if (read.status != file_io::ReadStatus::Ok || noteTooLarge(read) || read.bytes == InfoFileAsShown)
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
    if (Button2->isEnabled())
        DraftSoon();
}

void TForm1::Edit1Change(QObject*)
{
    // Saving writes the editor with the field: while the editor holds no note, a field change
    // must not make the prompt savable over the last project's note.
    if (ProjectLoaded && ExportFieldArmed > 0 && !Memo1->isReadOnly())
        EnterUnsavedState();
    if (Button2->isEnabled())
        DraftSoon();
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
    session_end::blockShutdown(this, QStringLiteral("Une note n'est pas enregistrée."));
}

void TForm1::LeaveUnsavedState()
{
    Button2->setEnabled(false);
    for (QWidget* control : navigationControls(*this))
        control->setEnabled(true);
    session_end::allowShutdown(this);
    ForgetDraft();
}
