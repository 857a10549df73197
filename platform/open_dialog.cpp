#include "platform/open_dialog.h"

#include "platform/prompts.h"

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
    return dialog.Execute(owner);
}

}  // namespace orvasel
