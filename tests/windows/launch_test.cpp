// "Ouvrir dans Cubase" and "Play": the locate-once questions, the shared file dialog and what
// each button hands to the shell.
#include "support/window_test.h"

namespace orvasel::testing {
namespace {

using prompts::Answer;

using LaunchTest = WindowTest;

#ifdef _WIN32
const QString kProgramsFolder = "C:\\Programmes\\", kHere = ".\\";
#else
const QString kProgramsFolder = "/opt/programmes/", kHere = "./";
#endif

TEST_F(LaunchTest, EachProgramIsAskedForUntilLocatedThenGetsTheProjectOrTheAudioFile)
{
    // A player that is not a full path, as a hand-edited settings file may hold, would be looked
    // for in the export's folder: it is asked for like a missing one.
    writeFile(settingsPath(), "rien\r\n-1\r\nSIG\r\nEOF\r\nlecteur.exe\r\n");
    start();
    const QString projects = folderText(makeFolder("Mes projets/Album 2")), player = kProgramsFolder + "lecteur.exe";
    CurrentProjectPath = projects + "Chanson du soir.cpr";
    Form1->Button4->setEnabled(true);
    // Cubase: No, then Yes and the dialog cancelled, then chosen. The player: chosen at once.
    prompts.answers = {Answer::No, Answer::Yes, Answer::Yes, Answer::Yes};
    prompts.files = {std::nullopt, "Cubasesx.exe", player};
    for (QWidget* button : {Form1->Button4, Form1->Button4, Form1->Button4, Form1->Button4, Form1->Button9, Form1->Button9})
        click(button);
    EXPECT_EQ(CubasePath, "Cubasesx.exe");
    const auto questions = prompts.ofKind(Shown::Kind::Confirmation);
    ASSERT_EQ(questions.size(), 4u);
    EXPECT_TRUE(questions[0].text.contains("'Cubasesx.exe'") && questions[3].text.contains("lecteur audio"));
#ifdef _WIN32
    const QString filter = "Lecteur Audio *.exe|*.exe";
#else
    const QString filter = "Lecteur Audio|*";  // programs have no extension here
#endif
    const auto dialogs = prompts.ofKind(Shown::Kind::OpenFile);
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(dialogs[1].text, "Cubasesx.exe|Cubasesx.exe");
    EXPECT_EQ(dialogs[2].title, "Désignez l'emplacement du lecteur audio");
    EXPECT_EQ(dialogs[2].text, filter);
    // The project opens at every press, located or not; then the player starts at each press.
    ASSERT_EQ(shell.requests.size(), 6u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(fields(shell.requests[i]), std::tuple(Form1, QString("open"), QString("Chanson du soir.cpr"),
                                                        QString(), projects, shell::kRestore, shell::Target::Document));

    // The audio file goes as one parameter, in its own folder: never as an option, and never when
    // its path holds what no Windows file name holds.
    struct Case {
        QString audio, folder, parameter;  // no parameter: refused
        QString refusal = QString();
    };
    const Case cases[] = {
#ifdef _WIN32
        {"C:mix 3.wav", "C:", "\"mix 3.wav\""},  // after a drive's colon
        {"C:/Audio/mix.wav", "C:/Audio/", "mix.wav"},
        {projects + "-mix 3.wav", projects, "\"" + kHere + "-mix 3.wav\""},
#else
        {projects + "Take 2: mix 3.wav", projects, "Take 2: mix 3.wav"},  // a colon is part of a name
#endif
        {projects + "--script=evil.lua", projects, kHere + "--script=evil.lua"},
        {projects + "mix \"final\".wav", {}, {}, "un guillemet (\")"},
        {projects + "mix\tfinal.wav", {}, {}, "une tabulation"},
        {projects + "mix\r\nfinal.wav", {}, {}, "un saut de ligne"},
        {projects + "mix\u2028final.wav", {}, {}, "un saut de ligne"},
        {projects + "mix\x1b[2Jfinal.wav", {}, {}, "un caractère de contrôle (U+001B)"},
    };
    for (const Case& c : cases) {
        shell.requests.clear();
        const size_t told = prompts.shown.size();
        Form1->Edit1->setText(c.audio);
        click(Form1->Button9);
        if (c.refusal.isEmpty()) {
            ASSERT_EQ(shell.requests.size(), 1u) << c.audio.toStdString();
            EXPECT_EQ(fields(shell.requests[0]), std::tuple(Form1, QString("open"), player, c.parameter, c.folder,
                                                            shell::kShowNoActivate, shell::Target::Program));
        } else {
            EXPECT_TRUE(shell.requests.empty()) << c.audio.toStdString();
            ASSERT_EQ(prompts.shown.size(), told + 1) << c.audio.toStdString();
            EXPECT_TRUE(prompts.shown.back().text.startsWith("Impossible d'écouter l'export : son chemin contient "
                                                             + c.refusal)) << prompts.shown.back().text.toStdString();
        }
    }
}

TEST_F(LaunchTest, ALocationTheSettingsFileCannotKeepIsRefusedWhenChosenSoTheCloseSavesEverything)
{
    start();
    const QString cubase = CubasePath;
    CurrentProjectPath = folderText(makeFolder("Projets")) + "Chanson.cpr";
    Form1->Button4->setEnabled(true);
    const std::pair<QString, QString> refused[] = {
        {kProgramsFolder + "Lecteur ♫.exe", "contient des caractères que le fichier de réglages ne peut pas "
                                             "enregistrer : ♫"},
        {kProgramsFolder + QString(250, 'x') + ".exe", "dépasse 254 caractères"},
        {kProgramsFolder + "deux\nlignes.exe", "contient un saut de ligne"},
    };
    for (const auto& [path, why] : refused)
        for (QWidget* button : {Form1->Button4, Form1->Button9}) {
            prompts.answers = {Answer::Yes};
            prompts.files = {path};
            click(button);
            ASSERT_FALSE(prompts.ofKind(Shown::Kind::Message).empty());
            EXPECT_EQ(prompts.shown.back().text, "Impossible de retenir cet emplacement : le chemin " + why
                                                     + ".\n\nChoisissez-en un autre.");
        }
    EXPECT_TRUE(CubasePath == cubase && AudioPlayerPath.isEmpty());
    // Cubase's project still opens, as after a cancelled dialog; no player starts.
    EXPECT_EQ(shell.requests.size(), 3u);
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(prompts.ofKind(Shown::Kind::Message).size(), 6u);
    EXPECT_TRUE(exists(settingsPath()));
}

}  // namespace
}  // namespace orvasel::testing
