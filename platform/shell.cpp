#include "platform/shell.h"

namespace orvasel::shell {
namespace {
Shell* installed = nullptr;
}

Shell& current()
{
    return installed ? *installed : system();
}

void install(Shell* replacement)
{
    installed = replacement;
}

}  // namespace orvasel::shell
