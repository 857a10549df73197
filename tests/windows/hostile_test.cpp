// A file system that works against the program: a folder that goes away while listed, names that
// are no text at all, files that are pipes. Each ends in a clear message or in silence, no file damaged.
#include "platform/paths.h"
#include "support/window_test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
#ifdef _WIN32
    const QString gone = "Le dossier n'existe pas.";  // Windows tells a missing folder from a missing file
#else
    const QString gone = "Le fichier ou son dossier n'existe pas.";
#endif
    EXPECT_EQ(prompts.ofKind(Shown::Kind::Message).at(0).text,
              "Erreur à l'écriture de votre fichier d'information\n" + gone);
    EXPECT_FALSE(exists(folder));
    ASSERT_TRUE(QDir().rename(moved, folder));
    click(Form1->Button2);
    EXPECT_EQ(readFile(folder + QStringLiteral("/Пісня.cpr.info")), "Vu Mix\r\r\n\r\nEOF\r\n\r\n");
}

// A folder from someone else: each note is loaded, typed into, saved and played as the user would,
// and nothing outside the folder is read into the editor, written, created or started.
TEST_F(HostileTest, NotesFromAStrangersFolderNeverReachBeyondIt)
{
    const QString elsewhere = makeFolder("Ailleurs"), secret = elsewhere + "/secret.txt";
    const std::string secretBytes = "mot de passe\n";
    writeFile(secret, secretBytes);
    const QString player = folderText(makeFolder("Programmes")) + "lecteur";
    writeFile(settingsPath(), "rien\r\n-1\r\nSIG\r\nEOF\r\n" + player.toStdString() + "\r\n");
    std::string huge;
    while (huge.size() <= (1u << 20))
        huge += std::string(70, 'a') + "\r\n";
    huge += "EOF\r\n\r\n";

    struct Row {
        const char* name;
        std::function<bool(const QString& info)> make;  // false: cannot be made here
        QString told;        // how the message on selection begins; empty: none
        bool editable;
        std::optional<QString> played;  // the player's one argument (empty: none); nothing: it does not start
    };
    const Row rows[] = {
        {"an export that reads as an option",
         [&](const QString& info) {
             writeFile(info, "Mix\r\nEOF\r\n" + QFileInfo(info).path().toStdString() + "/--script=evil.lua\r\n");
             return true;
         },
         {}, true, QString(paths::separator() == '/' ? "./" : ".\\") + "--script=evil.lua"},
        {"an export path with a tab",
         [&](const QString& info) {
             writeFile(info, "Mix\r\nEOF\r\n" + QFileInfo(info).path().toStdString() + "/mix\tfinal.wav\r\n");
             return true;
         },
         {}, true, std::nullopt},
        {"a note over 1 MiB", [&](const QString& info) { writeFile(info, huge); return true; },
         "La note de ce projet dépasse 1 Mo", false, QString()},
#ifndef _WIN32
        {"a link to a file elsewhere",
         [&](const QString& info) { return QFile::link(secret, info); },
         "Impossible de lire la note de ce projet", false, QString()},
        {"a link to a file that does not exist yet",
         [&](const QString& info) { return QFile::link(elsewhere + "/nouveau.txt", info); },
         "Impossible de lire la note de ce projet", false, QString()},
        {"a device",
         [&](const QString& info) {
             return mknod(QFile::encodeName(info).constData(), S_IFCHR | 0600, makedev(1, 5)) == 0;  // zero
         },
         "Impossible de lire la note de ce projet", false, QString()},
#endif
    };
    start();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString folder = makeFolder(QString("Recu/") + row.name), info = folder + "/Song.cpr.info";
        writeFile(folder + "/Song.cpr", "cubase");
        if (!row.make(info)) {
            std::cout << "[ SKIPPED  ] " << row.name << ": cannot be made on this machine\n";
            continue;
        }
        const QFileInfo before(info);
        const std::string bytesBefore = before.isFile() && !before.isSymLink() ? readFile(info) : std::string();
        prompts.shown.clear();
        shell.requests.clear();
        openFolder(folder);
        selectProject("Song.cpr");
        if (row.told.isEmpty())
            EXPECT_TRUE(prompts.shown.empty());
        else
            EXPECT_TRUE(!prompts.shown.empty() && prompts.shown.front().text.startsWith(row.told))
                << (prompts.shown.empty() ? QString() : prompts.shown.front().text).toStdString();
        EXPECT_EQ(Form1->Memo1->isReadOnly(), !row.editable);
        EXPECT_FALSE(Form1->Memo1->Text().contains("mot de passe"));

        typeInNote("Vu ");
        EXPECT_EQ(Form1->Button2->isEnabled(), row.editable);
        if (Form1->Button2->isEnabled())
            click(Form1->Button2);
        click(Form1->Button9);
        if (!row.played) {
            EXPECT_TRUE(shell.requests.empty());
        } else {
            ASSERT_EQ(shell.requests.size(), 1u);
            EXPECT_EQ(shell.requests[0].parameters, *row.played);
            if (!row.played->isEmpty()) {
                EXPECT_EQ(QDir::cleanPath(QDir::fromNativeSeparators(shell.requests[0].directory)),
                          QDir::cleanPath(folder));
            }
        }
        if (!row.editable && !bytesBefore.empty()) {
            EXPECT_EQ(readFile(info), bytesBefore);
        }
        EXPECT_EQ(QFileInfo(info).isSymLink(), before.isSymLink());
        EXPECT_EQ(readFile(secret), secretBytes);
        EXPECT_EQ(QDir(elsewhere).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"secret.txt"});
    }
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
