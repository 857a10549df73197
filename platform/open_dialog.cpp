#include "platform/open_dialog.h"

#include "platform/prompts.h"
#include "platform/settings_text.h"

namespace orvasel {

bool OpenDialog::Execute(QWidget* owner)
{
    const auto chosen = prompts::current().openFile(owner, {Title, Filter, FileName});
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

bool locateProgram(QWidget* owner, OpenDialog& dialog, const QString& question, const QString& title,
                   const QString& filter)
{
    if (prompts::confirm(owner, question, prompts::Choice::YesNo) != prompts::Answer::Yes)
        return false;
    dialog.Title = title;
    dialog.Filter = filter;
    if (!dialog.Execute(owner))
        return false;
    // The location is kept in the settings file: one that the file cannot hold is refused now,
    // rather than making the save fail at the close.
    const QString why = settings_text::whyNotStorable(dialog.FileName);
    if (why.isEmpty())
        return true;
    prompts::message(owner, QStringLiteral("Impossible de retenir cet emplacement : le chemin %1.\n\n"
                                           "Choisissez-en un autre.").arg(why));
    return false;
}

}  // namespace orvasel
