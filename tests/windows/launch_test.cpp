// "Ouvrir dans Cubase" and "Play": the locate-once questions, the shared file dialog and what
// each button hands to the shell.
#include "support/window_test.h"

#include "platform/paths.h"

#include <tuple>
#include <vector>

namespace orvasel::testing {
namespace {

const QString kCubaseQuestion =
    QStringLiteral("Orvasel doit connaitre l'emplacement de l'exécutable Cubase pour continuer.\n\n"
                   "     Voulez-vous procéder à la recherche de 'Cubasesx.exe' maintenant?\n\n"
                   "                   - cette étape n'aura lieu qu'une fois -\n\n");
const QString kPlayerQuestion =
    QStringLiteral("Orvasel doit connaitre l'emplacement de votre lecteur audio pour continuer.\n\n"
                   "         Voulez-vous procéder à sa recherche maintenant?\n\n"
                   "             - cette étape n'aura lieu qu'une fois -\n\n");
const QString kCubaseTitle = QStringLiteral("Désignez l'emplacement de Cubase");
const QString kCubaseFilter = QStringLiteral("Cubasesx.exe|Cubasesx.exe");
const QString kPlayerTitle = QStringLiteral("Désignez l'emplacement du lecteur audio");
const QString kPlayerFilter = QStringLiteral("Lecteur Audio *.exe|*.exe");

class LaunchTest : public WindowTest {
protected:
    // A real project file, selected as the project list would select it.
    void selectProjectFile(const QString& folderName, const QString& name)
    {
        projectFolder = folderText(makeFolder(folderName));
        writeFile(projectFolder + name, "cubase");
        CurrentProjectPath = projectFolder + name;
        Form1->Button4->setEnabled(true);
    }
    size_t questions() const { return prompts.ofKind(Shown::Kind::Confirmation).size(); }
    size_t dialogs() const { return prompts.ofKind(Shown::Kind::OpenFile).size(); }
    // The last request: the project opened with its name, folder and nothing else.
    void expectProjectOpened(const QString& name) const
    {
        ASSERT_FALSE(shell.requests.empty());
        const shell::Request& request = shell.requests.back();
        EXPECT_EQ(request.owner, Form1);
        EXPECT_EQ(request.operation, "open");
        EXPECT_EQ(request.file, name);
        EXPECT_TRUE(request.parameters.isEmpty());
        EXPECT_EQ(request.directory, projectFolder);
        EXPECT_EQ(request.showCommand, shell::kRestore);
    }

    QString projectFolder;
};

TEST_F(LaunchTest, CubaseIsAskedForUntilLocatedAndTheProjectOpensEveryTime)
{
    start();
    selectProjectFile("Mes projets/Album 2", "Chanson du soir.cpr");
    CubasePath = "rien";

    prompts.answers = {prompts::Answer::No};
    click(Form1->Button4);
    ASSERT_EQ(questions(), 1u);
    EXPECT_EQ(prompts.shown[0].text, kCubaseQuestion);
    EXPECT_EQ(prompts.shown[0].choice, prompts::Choice::YesNo);
    EXPECT_EQ(dialogs(), 0u);
    EXPECT_EQ(CubasePath, "rien");
    ASSERT_EQ(shell.requests.size(), 1u);
    expectProjectOpened("Chanson du soir.cpr");

    // Yes, then the dialog cancelled: still not located, still opened.
    prompts.answers = {prompts::Answer::Yes};
    click(Form1->Button4);
    EXPECT_EQ(questions(), 2u);
    ASSERT_EQ(dialogs(), 1u);
    EXPECT_EQ(prompts.shown.back().title, kCubaseTitle);
    EXPECT_EQ(prompts.shown.back().text, kCubaseFilter);
    EXPECT_EQ(CubasePath, "rien");
    EXPECT_EQ(shell.requests.size(), 2u);

    const QString cubase = folderText(makeFolder("Steinberg")) + "Cubasesx.exe";
    prompts.answers = {prompts::Answer::Yes};
    prompts.files = {cubase};
    click(Form1->Button4);
    EXPECT_EQ(CubasePath, cubase);
    EXPECT_EQ(shell.requests.size(), 3u);
    expectProjectOpened("Chanson du soir.cpr");

    click(Form1->Button4);
    EXPECT_EQ(questions(), 3u);
    EXPECT_EQ(shell.requests.size(), 4u);
}

TEST_F(LaunchTest, OnlyTheExactMarkerOrNothingCountsAsNotLocated)
{
    start();
    selectProjectFile("Projets", "essai.cpr");
    for (const QString& path : {QString(), QStringLiteral("rien")}) {
        CubasePath = path;
        const size_t before = questions();
        click(Form1->Button4);
        EXPECT_EQ(questions(), before + 1) << path.toStdString();
    }
    for (const QString& path : {QStringLiteral("Rien"), QStringLiteral("RIEN"), QStringLiteral("rien "),
                                QStringLiteral("Cubasesx.exe")}) {
        CubasePath = path;
        const size_t before = questions();
        click(Form1->Button4);
        EXPECT_EQ(questions(), before) << path.toStdString();
        EXPECT_EQ(CubasePath, path);
    }
    EXPECT_EQ(shell.requests.size(), 6u);
    expectProjectOpened("essai.cpr");
}

TEST_F(LaunchTest, PlayerIsAskedForAndNothingStartsUntilOneIsDesignated)
{
    start();
    const QString audioFolder = folderText(makeFolder("Exports"));
    writeFile(audioFolder + "mix 3.wav", "RIFF");
    Form1->Edit1->setText(audioFolder + "mix 3.wav");

    prompts.answers = {prompts::Answer::No, prompts::Answer::Yes};
    click(Form1->Button9);  // No
    click(Form1->Button9);  // Yes, the dialog cancelled
    ASSERT_EQ(questions(), 2u);
    EXPECT_EQ(prompts.shown[0].text, kPlayerQuestion);
    EXPECT_EQ(prompts.shown[0].choice, prompts::Choice::YesNo);
    EXPECT_EQ(dialogs(), 1u);
    EXPECT_TRUE(AudioPlayerPath.isEmpty());
    EXPECT_TRUE(shell.requests.empty());

    const QString player = folderText(makeFolder("Lecteur")) + "lecteur.exe";
    prompts.answers = {prompts::Answer::Yes};
    prompts.files = {player};
    click(Form1->Button9);
    EXPECT_EQ(prompts.shown.back().title, kPlayerTitle);
    EXPECT_EQ(prompts.shown.back().text, kPlayerFilter);
    EXPECT_EQ(AudioPlayerPath, player);
    ASSERT_EQ(shell.requests.size(), 1u);
    const shell::Request& request = shell.requests[0];
    EXPECT_EQ(request.owner, Form1);
    EXPECT_EQ(request.operation, "open");
    EXPECT_EQ(request.file, player);
#ifdef _WIN32
    EXPECT_EQ(request.parameters, "\"mix 3.wav\"");
#else
    EXPECT_EQ(request.parameters, "mix 3.wav");
#endif
    EXPECT_EQ(request.directory, audioFolder);
    EXPECT_EQ(request.showCommand, shell::kShowNoActivate);

    click(Form1->Button9);
    EXPECT_EQ(questions(), 3u);
    EXPECT_EQ(shell.requests.size(), 2u);
    // Playing touches neither the field nor the note's state.
    EXPECT_EQ(Form1->Edit1->text(), audioFolder + "mix 3.wav");
    EXPECT_FALSE(Form1->Button2->isEnabled());
}

TEST_F(LaunchTest, EachUseOfTheSharedDialogShowsItsOwnTitleAndFilter)
{
    start();
    selectProjectFile("Projets", "essai.cpr");
    const auto locateBoth = [&](QWidget* first, QWidget* second) {
        CubasePath = "rien";
        AudioPlayerPath.clear();
        prompts.answers = {prompts::Answer::Yes, prompts::Answer::Yes};
        prompts.files = {QStringLiteral("premier.exe"), QStringLiteral("second.exe")};
        click(first);
        click(second);
    };
    locateBoth(Form1->Button9, Form1->Button4);
    locateBoth(Form1->Button4, Form1->Button9);
    const auto shown = prompts.ofKind(Shown::Kind::OpenFile);
    ASSERT_EQ(shown.size(), 4u);
    const std::vector<std::pair<QString, QString>> expected{
        {kPlayerTitle, kPlayerFilter}, {kCubaseTitle, kCubaseFilter},
        {kCubaseTitle, kCubaseFilter}, {kPlayerTitle, kPlayerFilter}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(shown[i].title, expected[i].first) << i;
        EXPECT_EQ(shown[i].text, expected[i].second) << i;
    }
    EXPECT_EQ(CubasePath, "premier.exe");
    EXPECT_EQ(AudioPlayerPath, "second.exe");
}

TEST_F(LaunchTest, AudioPathSplitsAfterItsFolderAndIsNotRewritten)
{
    start();
    const QString s = paths::separator();
    // A path in the player's own notation, left exactly as it stands.
    AudioPlayerPath = "C:" + s + "Apps" + s + "player.exe";
    const QString exports = folderText(makeFolder("Exports"));
    writeFile(exports + "mix3.wav", "RIFF");
    const QString share = s + s + "studio" + s + "mixes" + s;
    const std::vector<std::tuple<QString, QString, QString>> cases{
        {exports + "mix3.wav", "mix3.wav", exports},
        {share + "mix3.wav", "mix3.wav", share},
#ifdef _WIN32
        {"C:mix3.wav", "mix3.wav", "C:"},
#else
        {exports + "Take 2: final.wav", "Take 2: final.wav", exports},
#endif
        {"mix3.wav", "mix3.wav", ""},
        {"", "", ""},
    };
    for (const auto& [field, name, folder] : cases) {
        Form1->Edit1->setText(field);
        click(Form1->Button9);
        ASSERT_FALSE(shell.requests.empty());
        const shell::Request& request = shell.requests.back();
        EXPECT_EQ(request.file, AudioPlayerPath) << field.toStdString();
        EXPECT_EQ(request.parameters, name) << field.toStdString();
        EXPECT_EQ(request.directory, folder) << field.toStdString();
    }
    EXPECT_EQ(shell.requests.size(), cases.size());
    EXPECT_EQ(questions(), 0u);
}

}  // namespace
}  // namespace orvasel::testing
