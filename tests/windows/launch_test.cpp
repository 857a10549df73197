// "Ouvrir dans Cubase" and "Play": the locate-once questions, the shared file dialog and what
// each button hands to the shell.
#include "support/window_test.h"

#include "platform/paths.h"

namespace orvasel::testing {
namespace {

using prompts::Answer;

auto fields(const shell::Request& r)
{
    return std::tuple(r.owner, r.operation, r.file, r.parameters, r.directory, r.showCommand, r.target);
}

using LaunchTest = WindowTest;

TEST_F(LaunchTest, EachProgramIsAskedForUntilLocatedWithItsOwnQuestionAndDialog)
{
    start();
    const QString folder = folderText(makeFolder("Mes projets/Album 2"));
    CurrentProjectPath = folder + "Chanson du soir.cpr";
    Form1->Button4->setEnabled(true);
    // Cubase "rien" (not located): No. The player, then Cubase: Yes and the dialog cancelled. Then each is chosen.
    prompts.answers = {Answer::No, Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes};
    prompts.files = {std::nullopt, std::nullopt, "lecteur.exe", "Cubasesx.exe"};
    for (QWidget* button : {Form1->Button4, Form1->Button9, Form1->Button4, Form1->Button9, Form1->Button4,
                            Form1->Button9, Form1->Button4})
        click(button);
    EXPECT_EQ(CubasePath, "Cubasesx.exe");
    EXPECT_EQ(AudioPlayerPath, "lecteur.exe");
    const auto questions = prompts.ofKind(Shown::Kind::Confirmation);
    ASSERT_EQ(questions.size(), 5u);
    EXPECT_EQ(questions[0].text,
              "Orvasel doit connaitre l'emplacement de l'exécutable Cubase pour continuer.\n\n"
              "     Voulez-vous procéder à la recherche de 'Cubasesx.exe' maintenant?\n\n"
              "                   - cette étape n'aura lieu qu'une fois -\n\n");
    EXPECT_EQ(questions[1].text,
              "Orvasel doit connaitre l'emplacement de votre lecteur audio pour continuer.\n\n"
              "         Voulez-vous procéder à sa recherche maintenant?\n\n"
              "             - cette étape n'aura lieu qu'une fois -\n\n");
    EXPECT_EQ(questions[1].choice, prompts::Choice::YesNo);
#ifdef _WIN32
    const QString player = "Lecteur Audio *.exe|*.exe";
#else
    const QString player = "Lecteur Audio|*";  // programs have no extension here
#endif
    // The dialog is shared: each use shows its own title and filter.
    const auto dialogs = prompts.ofKind(Shown::Kind::OpenFile);
    ASSERT_EQ(dialogs.size(), 4u);
    for (size_t i = 0; i < dialogs.size(); ++i) {
        EXPECT_EQ(dialogs[i].title, i % 2 ? "Désignez l'emplacement de Cubase" : "Désignez l'emplacement du lecteur audio");
        EXPECT_EQ(dialogs[i].text, i % 2 ? "Cubasesx.exe|Cubasesx.exe" : player);
    }
    // The project opens at every press, located or not; the player starts only once designated (2 and 4).
    ASSERT_EQ(shell.requests.size(), 6u);
    for (const size_t i : {0, 1, 3, 5})
        EXPECT_EQ(fields(shell.requests[i]), std::tuple(Form1, QString("open"), QString("Chanson du soir.cpr"),
                                                        QString(), folder, shell::kRestore, shell::Target::Document));
    // An empty path is no more located than the marker.
    CubasePath.clear();
    click(Form1->Button4);
    EXPECT_EQ(prompts.ofKind(Shown::Kind::Confirmation).size(), 6u);
}

TEST_F(LaunchTest, TheAudioPathSplitsAfterItsFolderAndGoesAsItStands)
{
    start();
    const QString s = paths::separator(), exports = folderText(makeFolder("Exports"));
    AudioPlayerPath = "C:" + s + "Apps" + s + "player.exe";
    const QString share = s + s + "studio" + s + "mixes" + s;
    std::vector<std::tuple<QString, QString, QString>> cases{
        {share + "mix3.wav", "mix3.wav", share}, {"mix3.wav", "mix3.wav", ""}, {"", "", ""}};
#ifdef _WIN32
    cases.push_back({exports + "mix 3.wav", "\"mix 3.wav\"", exports});
    cases.push_back({"C:mix3.wav", "mix3.wav", "C:"});
#else
    cases.push_back({exports + "mix 3.wav", "mix 3.wav", exports});
    cases.push_back({exports + "Take 2: final.wav", "Take 2: final.wav", exports});
#endif
    for (const auto& [field, name, folder] : cases) {
        Form1->Edit1->setText(field);
        click(Form1->Button9);
        ASSERT_FALSE(shell.requests.empty());
        EXPECT_EQ(fields(shell.requests.back()), std::tuple(Form1, QString("open"), AudioPlayerPath, name, folder,
                                                            shell::kShowNoActivate, shell::Target::Program));
    }
}

}  // namespace
}  // namespace orvasel::testing
