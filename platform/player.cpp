#include "platform/player.h"

#include "platform/command_line.h"
#include "platform/open_dialog.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/shell.h"

#include <algorithm>

namespace orvasel::player {
namespace {

// Where an audio path splits into its folder and its name: after the last separator, or on Windows
// after a drive's colon, so that "C:mix.wav" plays mix.wav in C:. Windows takes '/' for a separator
// too, and no name holds one. Elsewhere a colon is an ordinary character of a name ("Take 2:
// final.wav"). The paths go as they stand: a network path keeps its leading double separator.
int nameStart(const QString& audioPath)
{
    qsizetype cut = audioPath.lastIndexOf(paths::separator());
#ifdef _WIN32
    cut = std::max({cut, audioPath.lastIndexOf(QLatin1Char('/')), audioPath.lastIndexOf(QLatin1Char(':'))});
#endif
    return int(cut + 1);
}

// What in the audio path could make the player read something else than one file name: a quote,
// a line break or another control character. No Windows file name holds any of them. The first
// one named in the user's words; empty when there is none.
QString unplayableCharacter(const QString& audioPath)
{
    for (const QChar c : audioPath) {
        if (c == QLatin1Char('"'))
            return QStringLiteral("un guillemet (\")");
        if (c == QLatin1Char('\t'))
            return QStringLiteral("une tabulation");
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            return QStringLiteral("un saut de ligne");
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("un caractère de contrôle (U+%1)")
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    return QString();
}

// The player's parameter text: the file name as its one argument. A name that the player could
// take for an option ("--script=x.lua") goes as a path in the working folder ("./--script=x.lua").
// Windows passes one text that the player splits into arguments itself, so it goes quoted as needed.
QString playerParameter(const QString& name)
{
    const QString file = name.startsWith(QLatin1Char('-')) ? QStringLiteral(".") + paths::separator() + name : name;
#ifdef _WIN32
    return file.isEmpty() ? file : QString::fromStdU16String(command_line::quoted(file.toStdU16String()));
#else
    return file;
#endif
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
    // A player path that is not a full one (written by hand in the settings file) would be looked
    // for in the audio file's folder, which may hold anything: it is asked for again instead.
    if (!paths::isFullPath(playerPath)) {
        const QString question =
            QStringLiteral("Orvasel doit connaitre l'emplacement de votre lecteur audio pour continuer.\n\n")
            + QStringLiteral("         Voulez-vous procéder à sa recherche maintenant?\n\n")
            + QStringLiteral("             - cette étape n'aura lieu qu'une fois -\n\n");
        if (locateProgram(owner, dialog, question, QStringLiteral("Désignez l'emplacement du lecteur audio"),
                          kPlayerFilter))
            playerPath = dialog.FileName;
    }
    // No player: nothing to start; the question comes again the next time.
    if (!paths::isFullPath(playerPath))
        return;
    if (const QString character = unplayableCharacter(audioPath); !character.isEmpty()) {
#ifdef _WIN32
        prompts::message(owner, QStringLiteral("Impossible d'écouter l'export : son chemin contient %1, "
                                               "qu'aucun nom de fichier ne peut contenir.").arg(character));
#else
        prompts::message(owner, QStringLiteral("Impossible d'écouter l'export : son chemin contient %1. "
                                               "Aucun nom de fichier ne peut en contenir sous Windows, et le "
                                               "lecteur pourrait le lire autrement que comme un seul nom de "
                                               "fichier.").arg(character));
#endif
        return;
    }
    const int cut = nameStart(audioPath);
    shell::current().execute({owner, QStringLiteral("open"), playerPath, playerParameter(audioPath.mid(cut)),
                              audioPath.left(cut), shell::kShowNoActivate, shell::Target::Program});
}

}  // namespace orvasel::player
