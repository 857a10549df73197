#include "platform/player.h"

#include "platform/open_dialog.h"
#include "platform/paths.h"
#include "platform/shell.h"

#include <algorithm>

namespace orvasel::player {
namespace {

// Where an audio path splits into its folder and its name: after the last separator, or on Windows
// after a drive's colon, so that "C:mix.wav" plays mix.wav in C:. Elsewhere a colon is an ordinary
// character of a name ("Take 2: final.wav"). The paths go as they stand: a network path keeps its
// leading double separator.
int nameStart(const QString& audioPath)
{
    qsizetype cut = audioPath.lastIndexOf(paths::separator());
#ifdef _WIN32
    cut = std::max(cut, audioPath.lastIndexOf(QLatin1Char(':')));
#endif
    return int(cut + 1);
}

// The player's parameter text: the file name as one argument. Windows reads the parameter text as
// a command line, where a space would split the name into several words.
QString playerParameter(const QString& name)
{
#ifdef _WIN32
    if (name.contains(QLatin1Char(' ')))
        return QLatin1Char('"') + name + QLatin1Char('"');
#endif
    return name;
}

// The player's filter. Windows programs end in .exe; elsewhere a program has no extension of its
// own, so the dialog lists every file and the player is picked among them.
#ifdef _WIN32
const QString kPlayerFilter = QStringLiteral("Lecteur Audio *.exe|*.exe");
#else
const QString kPlayerFilter = QStringLiteral("Lecteur Audio|*");
#endif

}  // namespace

void play(QWidget* owner, OpenDialog& dialog, QString& playerPath, const QString& audioPath)
{
    if (playerPath.isEmpty()) {
        const QString question =
            QStringLiteral("Orvasel doit connaitre l'emplacement de votre lecteur audio pour continuer.\n\n")
            + QStringLiteral("         Voulez-vous procéder à sa recherche maintenant?\n\n")
            + QStringLiteral("             - cette étape n'aura lieu qu'une fois -\n\n");
        if (locateProgram(owner, dialog, question, QStringLiteral("Désignez l'emplacement du lecteur audio"),
                          kPlayerFilter))
            playerPath = dialog.FileName;
    }
    // No player: nothing to start; the question comes again the next time.
    if (playerPath.isEmpty())
        return;
    const int cut = nameStart(audioPath);
    shell::current().execute({owner, QStringLiteral("open"), playerPath, playerParameter(audioPath.mid(cut)),
                              audioPath.left(cut), shell::kShowNoActivate, shell::Target::Program});
}

}  // namespace orvasel::player
