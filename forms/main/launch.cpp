// Cubase and the audio player: each is located by the user once, then the shell does the starting.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "platform/open_dialog.h"
#include "platform/paths.h"
#include "platform/player.h"
#include "platform/shell.h"

using namespace orvasel;

void TForm1::Button4Click(QObject*)
{
    if (CubasePath == QLatin1String("rien") || CubasePath.isEmpty()) {
        const QString question =
            QStringLiteral("Orvasel doit connaitre l'emplacement de l'exécutable Cubase pour continuer.\n\n")
            + QStringLiteral("     Voulez-vous procéder à la recherche de 'Cubasesx.exe' maintenant?\n\n")
            + QStringLiteral("                   - cette étape n'aura lieu qu'une fois -\n\n");
        if (locateProgram(this, OpenDialog2, question, QStringLiteral("Désignez l'emplacement de Cubase"),
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
    player::play(this, OpenDialog2, AudioPlayerPath, Edit1->text());
}
