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

}  // namespace orvasel
