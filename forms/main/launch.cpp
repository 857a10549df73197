// Cubase and the audio player: each is located by the user once, then the shell does the starting.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/shell.h"

#include <algorithm>

using namespace orvasel;

namespace {

// Asks whether to locate a program now and, on Yes, runs the dialog with this use's own title and
// filter (the other button shares the dialog and leaves its own). True when a file was confirmed.
bool locate(TForm1* form, const QString& question, const QString& title, const QString& filter)
{
    if (prompts::confirm(form, question, prompts::Choice::YesNo) != prompts::Answer::Yes)
        return false;
    form->OpenDialog2.Title = title;
    form->OpenDialog2.Filter = filter;
    return form->OpenDialog2.Execute(form);
}

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

void TForm1::Button4Click(QObject*)
{
    if (CubasePath == QLatin1String("rien") || CubasePath.isEmpty()) {
        const QString question =
            QStringLiteral("Orvasel doit connaitre l'emplacement de l'exécutable Cubase pour continuer.\n\n")
            + QStringLiteral("     Voulez-vous procéder à la recherche de 'Cubasesx.exe' maintenant?\n\n")
            + QStringLiteral("                   - cette étape n'aura lieu qu'une fois -\n\n");
        if (locate(this, question, QStringLiteral("Désignez l'emplacement de Cubase"),
                   QStringLiteral("Cubasesx.exe|Cubasesx.exe")))
            CubasePath = OpenDialog2.FileName;
    }
    // The project goes to the shell whether or not Cubase was located: the shell opens it with
    // the program the system associates with project files.
    shell::current().execute({this, QStringLiteral("open"), paths::fileNamePart(CurrentProjectPath), QString(),
                              paths::folderPart(CurrentProjectPath), shell::kRestore, shell::Target::Document});
}

void TForm1::Button9Click(QObject*)
{
    if (AudioPlayerPath.isEmpty()) {
        const QString question =
            QStringLiteral("Orvasel doit connaitre l'emplacement de votre lecteur audio pour continuer.\n\n")
            + QStringLiteral("         Voulez-vous procéder à sa recherche maintenant?\n\n")
            + QStringLiteral("             - cette étape n'aura lieu qu'une fois -\n\n");
        if (locate(this, question, QStringLiteral("Désignez l'emplacement du lecteur audio"), kPlayerFilter))
            AudioPlayerPath = OpenDialog2.FileName;
    }
    // No player: nothing to start; the question comes again at the next press.
    if (AudioPlayerPath.isEmpty())
        return;
    const QString audioPath = Edit1->text();
    const int cut = nameStart(audioPath);
    shell::current().execute({this, QStringLiteral("open"), AudioPlayerPath, playerParameter(audioPath.mid(cut)),
                              audioPath.left(cut), shell::kShowNoActivate, shell::Target::Program});
}
