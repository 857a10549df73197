// Drafts of the note being edited: kept in the user's data folder a moment after each change while
// the note is unsaved, removed once it is saved or given up, and offered back when the program
// starts again after a crash, a power cut or the end of the session, or when its project is selected.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "forms/search/go_to_project.h"
#include "platform/drafts.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QDateTime>
#include <QFileInfo>

using namespace orvasel;

namespace {

// A draft is written at most this long after the change it keeps, and never more often.
constexpr int kDraftDelayMs = 1000;

// Whether this copy wrote a draft of the note shown, which is then its to remove.
bool DraftKept = false;
// The draft the user took back at start, to be shown without asking again once its project is selected.
QString DraftTakenBack;

QString takeBackQuestion(const drafts::Found& found, const QString& project)
{
    return QStringLiteral("Une note non enregistrée de « %1 » (%2) a été retrouvée. La reprendre ?")
        .arg(project, drafts::dateText(found.draft));
}

}  // namespace

void TForm1::DraftSoon()
{
    if (!DraftTimer1.isActive())
        DraftTimer1.start(kDraftDelayMs);
}

void TForm1::DraftTimer1Timer(QObject*)
{
    KeepDraft();
}

void TForm1::KeepDraft()
{
    DraftTimer1.stop();
    if (!Button2->isEnabled() || Memo1->isReadOnly() || CurrentInfoPath.isEmpty())
        return;
    draft_file::Draft draft;
    draft.infoPath = CurrentInfoPath.toStdString();
    draft.note = Memo1->Text().toStdString();
    draft.exportPath = Edit1->text().toStdString();
    draft.loadedBytes = InfoFileAsShown;
    draft.changedAt = QDateTime::currentMSecsSinceEpoch();
    draft.session = drafts::session();
    DraftWrites1.write(paths::toFileSystem(drafts::fileFor(CurrentInfoPath)), draft_file::serialize(draft));
    DraftKept = true;
}

void TForm1::ForgetDraft()
{
    DraftTimer1.stop();
    if (!DraftKept)
        return;
    DraftWrites1.remove(paths::toFileSystem(drafts::fileFor(CurrentInfoPath)));
    DraftKept = false;
}

bool TForm1::FinishDrafts(int withinMs)
{
    return DraftWrites1.finish(std::chrono::milliseconds(withinMs));
}

void TForm1::SetDraftAside(const drafts::Found& found)
{
    const QString project = paths::fileNamePart(drafts::projectPath(found.draft));
    if (const auto kept = drafts::setAside(found))
        prompts::message(this, QStringLiteral("La note non enregistrée de « %1 » est gardée dans « %2 ».").arg(project, *kept));
    else
        prompts::message(this, QStringLiteral("La note non enregistrée de « %1 » n'a pas pu être mise de côté ; "
                                              "elle vous sera proposée de nouveau.")
                                   .arg(project));
}

void TForm1::OfferDraft()
{
    QStringList damaged;
    const std::optional<drafts::Found> found = drafts::find(CurrentInfoPath, &damaged);
    for (const QString& file : damaged)
        prompts::message(this, QStringLiteral("Un brouillon abîmé de cette note est gardé dans « %1 ».").arg(file));
    if (!found)
        return;
    const draft_file::Draft& draft = found->draft;
    const QString note = QString::fromStdString(draft.note);
    const QString exportPath = QString::fromStdString(draft.exportPath);
    // Saved after all (the program ended between the save and the draft's removal): nothing to take back.
    if (note == Memo1->Text() && exportPath == Edit1->text()) {
        file_io::removeFile(paths::toFileSystem(found->file));
        return;
    }
    const bool takenBack = DraftTakenBack == found->file ||
        prompts::confirm(this, takeBackQuestion(*found, paths::fileNamePart(CurrentProjectPath)),
                         prompts::Choice::YesNo) == prompts::Answer::Yes;
    DraftTakenBack.clear();
    if (!takenBack) {
        SetDraftAside(*found);
        return;
    }
    // Shown unsaved, as it was left; the save then compares the file with what it was loaded from.
    Memo1->SetText(note);
    ExportFieldArmed = 0;
    Edit1->setText(exportPath);
    ++ExportFieldArmed;
    InfoFileAsShown = draft.loadedBytes;
    EnterUnsavedState();
    // From now on the draft is this copy's own.
    KeepDraft();
    file_io::removeFile(paths::toFileSystem(found->file));
}

void TForm1::OfferDraftsLeft()
{
    for (const drafts::Found& found : drafts::left()) {
        const QString projectPath = drafts::projectPath(found.draft);
        const QString project = paths::fileNamePart(projectPath);
        if (!QFileInfo(projectPath).isFile()) {
            // A project on a disk that is not there (an external drive, a share), or moved away.
            const QString question =
                QStringLiteral("Une note non enregistrée de « %1 » (%2) a été retrouvée, mais ce projet est "
                               "introuvable (dossier déplacé, disque débranché ?).\n\n"
                               "La garder pour vous la proposer de nouveau ?")
                    .arg(projectPath, drafts::dateText(found.draft));
            if (prompts::confirm(this, question, prompts::Choice::YesNo) != prompts::Answer::Yes)
                SetDraftAside(found);
            continue;
        }
        if (prompts::confirm(this, takeBackQuestion(found, project), prompts::Choice::YesNo) != prompts::Answer::Yes) {
            SetDraftAside(found);
            continue;
        }
        // Its project is selected as the user would select it; the selection shows the draft.
        DraftTakenBack = found.file;
        const bool shown = showProjectInMainWindow(*this, paths::folderPart(projectPath), project, this);
        DraftTakenBack.clear();
        // One note at a time: the others wait for their project's selection, or the next start.
        if (shown)
            return;
    }
}
