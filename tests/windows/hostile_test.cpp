// A file system that works against the program, through the real window: a project folder that
// goes away while listed, names that code page 1252 cannot write, names that are no text at all,
// files that are pipes. Each case ends in a clear message or in silence, and no file is damaged.
// (Unreadable notes, read-only folders and a settings file that is a folder are in the notes and
// settings tests.) Obstacles rather than permissions, which stop nothing for root.
#include "support/window_test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orvasel::testing {
namespace {

const std::string kMix3 = "Mix 3\r\r\nTempo 120\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n";
const QString kWriteError = QStringLiteral("Erreur à l'écriture de votre fichier d'information");

class HostileTest : public WindowTest {
protected:
    // Starts with the folder listed; each project gets a Cubase file and, if given, its note.
    QString startIn(const QString& relative, std::initializer_list<std::pair<QString, std::string>> projects)
    {
        const QString folder = makeFolder(relative);
        for (const auto& [name, note] : projects) {
            writeFile(folder + "/" + name, "cubase");
            if (!note.empty())
                writeFile(folder + "/" + name + ".info", note);
        }
        start();
        openFolder(folder);
        return folder;
    }
    std::vector<Shown> messages() const { return prompts.ofKind(Shown::Kind::Message); }
    static bool unsaved() { return Form1->Button2->isEnabled(); }
};

TEST_F(HostileTest, AProjectFolderThatGoesAwayWhileListedLosesNoNote)
{
    const QString folder = startIn("Projets", {{"Song.cpr", kMix3}, {"Autre.cpr", ""}});
    const QString moved = workDir.filePath("Ailleurs");
    selectProject("Song.cpr");
    typeInNote("Nouveau ");
    const QString typed = Form1->Memo1->Text();
    ASSERT_TRUE(unsaved());

    // Moved away with the note unsaved: the save fails, the note stays in the editor to save again.
    ASSERT_TRUE(QDir().rename(folder, moved));
    click(Form1->Button2);
    // A file where the folder was: the save cannot go through it.
    writeFile(folder, "obstacle");
    click(Form1->Button2);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, kWriteError);
    EXPECT_EQ(messages()[1].text, kWriteError);
    EXPECT_TRUE(unsaved());
    EXPECT_EQ(Form1->Memo1->Text(), typed);
    EXPECT_EQ(readFile(folder), "obstacle");
    EXPECT_EQ(readFile(moved + "/Song.cpr.info"), kMix3);
    EXPECT_EQ(QDir(moved).entryList(QDir::Files | QDir::Hidden), QStringList({"Autre.cpr", "Song.cpr", "Song.cpr.info"}));

    // Back in its place, the same note saves.
    ASSERT_TRUE(QFile::remove(folder));
    ASSERT_TRUE(QDir().rename(moved, folder));
    click(Form1->Button2);
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(readFile(folder + "/Song.cpr.info"), "Nouveau Mix 3\r\r\nTempo 120\r\r\n\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n");

    // Selecting a listed project of a folder that has gone creates nothing and says nothing.
    ASSERT_TRUE(QDir().rename(folder, moved));
    selectProject("Autre.cpr");
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    EXPECT_FALSE(exists(folder));
    EXPECT_FALSE(exists(moved + "/Autre.cpr.info"));
    EXPECT_EQ(messages().size(), 2u);
}

TEST_F(HostileTest, NamesThatCodePage1252CannotWriteAreListedLoadedAndSaved)
{
    // Only the note's text is code page 1252; the names are the file system's, whatever they hold.
    const QString folder = startIn(QStringLiteral("Проекты 曲"), {{QStringLiteral("Пісня.cpr"), kMix3},
                                                                 {QStringLiteral("♪ Nouveau.cpr"), ""}});
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList({QStringLiteral("♪ Nouveau.cpr"), QStringLiteral("Пісня.cpr")}));
    EXPECT_EQ(CurrentFolder, folderText(folder));

    selectProject(QStringLiteral("Пісня.cpr"));
    EXPECT_EQ(Form1->Memo1->Text(), "Mix 3\r\nTempo 120\r\n");
    EXPECT_EQ(Form1->Edit1->text(), "C:\\Audio\\mix3.wav");
    Form1->Memo1->insertPlainText(QStringLiteral("Été "));
    QTest::keyClick(Form1->Memo1, Qt::Key_Shift);
    click(Form1->Button2);
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(readFile(folder + QStringLiteral("/Пісня.cpr.info")),
              "\xc9t\xe9 Mix 3\r\r\nTempo 120\r\r\n\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n");

    selectProject(QStringLiteral("♪ Nouveau.cpr"));
    EXPECT_EQ(readFile(folder + QStringLiteral("/♪ Nouveau.cpr.info")), "EOF\r\n");
    EXPECT_TRUE(messages().empty());
}

#ifndef _WIN32
TEST_F(HostileTest, ANameThatIsNoTextIsNotListedAndItsNoteIsLeftAlone)
{
    const QString folder = makeFolder("Projets");
    // Named in code page 1252 by an older system: the byte E9 alone is no UTF-8.
    const std::string raw = QFile::encodeName(folder).toStdString() + "/Caf\xe9.cpr";
    std::ofstream(raw) << "cubase";
    std::ofstream(raw + ".info", std::ios::binary) << kMix3;
    writeFile(folder + "/Song.cpr", "cubase");
    start();
    openFolder(folder);
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList{"Song.cpr"});
    selectProject("Song.cpr");
    // Song.cpr.info was added, nothing else.
    const auto count = std::distance(std::filesystem::directory_iterator(QFile::encodeName(folder).toStdString()),
                                     std::filesystem::directory_iterator());
    EXPECT_EQ(count, 4);
    std::ifstream note(raw + ".info", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(note), {}), kMix3);
}

TEST_F(HostileTest, PipesInPlaceOfTheFilesDoNotHangTheProgram)
{
    const QString pipe = settingsPath();
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = makeFolder("Projets");
    writeFile(folder + "/Song.cpr", "cubase");
    const QString notePipe = folder + "/Song.cpr.info";
    ASSERT_EQ(mkfifo(QFile::encodeName(notePipe).constData(), 0600), 0);

    start();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.startsWith("Impossible de lire les réglages dans " + pipe));
    openFolder(folder);
    selectProject("Song.cpr");
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_TRUE(messages()[1].text.startsWith("Impossible de lire la note de ce projet : " + notePipe));
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    EXPECT_FALSE(QFileInfo(notePipe).isFile());
    EXPECT_TRUE(exists(notePipe));
}
#endif

}  // namespace
}  // namespace orvasel::testing
