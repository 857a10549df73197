// A file system that works against the program: a folder that goes away while listed, names that
// are no text at all, files that are pipes. Each ends in a clear message or in silence, no file damaged.
#include "support/window_test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvasel::testing {
namespace {

using HostileTest = WindowTest;

TEST_F(HostileTest, AProjectFolderThatGoesAwayWhileListedLosesNoNoteWhateverItsName)
{
    // Names are the file system's, whatever they hold; only the note's text is code page 1252.
    const QString folder = makeFolder(QStringLiteral("Проекты 曲"));
    writeFile(folder + QStringLiteral("/Пісня.cpr"), "cubase");
    writeFile(folder + QStringLiteral("/Пісня.cpr.info"), "Mix\r\nEOF\r\n\r\n");
    start();
    openFolder(folder);
    selectProject(QStringLiteral("Пісня.cpr"));
    typeInNote("Vu ");

    // Moved away: the save fails, nothing takes the folder's place, and the note waits to be saved again.
    const QString moved = workDir.filePath("Ailleurs");
    ASSERT_TRUE(QDir().rename(folder, moved));
    click(Form1->Button2);
    EXPECT_EQ(prompts.ofKind(Shown::Kind::Message).at(0).text,
              QString("Erreur à l'écriture de votre fichier d'information\nLe fichier ou son dossier n'existe pas."));
    EXPECT_FALSE(exists(folder));
    ASSERT_TRUE(QDir().rename(moved, folder));
    click(Form1->Button2);
    EXPECT_EQ(readFile(folder + QStringLiteral("/Пісня.cpr.info")), "Vu Mix\r\r\n\r\nEOF\r\n\r\n");
}

#ifndef _WIN32
TEST_F(HostileTest, NamesThatAreNoTextAreNotListedAndPipesDoNotHangTheProgram)
{
    const QString folder = makeFolder("Projets"), notePipe = folder + "/Song.cpr.info";
    // Named in code page 1252 by an older system: the byte E9 alone is no UTF-8.
    std::ofstream(QFile::encodeName(folder).toStdString() + "/Caf\xe9.cpr") << "cubase";
    writeFile(folder + "/Song.cpr", "cubase");
    for (const QString& pipe : {settingsPath(), notePipe})
        ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    start();
    openFolder(folder);
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList{"Song.cpr"});
    selectProject("Song.cpr");
    const auto shown = prompts.ofKind(Shown::Kind::Message);  // the settings', then the note's
    EXPECT_TRUE(shown.size() == 2 && shown[1].text.startsWith("Impossible de lire la note de ce projet"));
    EXPECT_TRUE(exists(notePipe) && !QFileInfo(notePipe).isFile());
}
#endif

}  // namespace
}  // namespace orvasel::testing
