#include "app/application.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
#if !defined(_WIN32) && !defined(__APPLE__)
    // Without a display Qt would stop with a cryptic message; say what to do instead.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !(platform && *platform)) {
        std::fputs("Orvasel a besoin d'un affichage graphique (aucun DISPLAY ni WAYLAND_DISPLAY).\n"
                   "Orvasel needs a graphical display. Without one, run it under a virtual display:\n"
                   "    xvfb-run -a ./build/orvasel\n",
                   stderr);
        return 1;
    }
#endif
    return orvasel::Run(argc, argv);
}
