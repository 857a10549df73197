// The real launcher behind "Play" and "Ouvrir dans Cubase": a program that records where it was
// started and with which arguments stands in for the player and for the desktop's opener.
#include "support/window_test.h"

#ifndef _WIN32

#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace orvasel::testing {
namespace {

class SystemShellTest : public WindowTest {
protected:
    // Our own xdg-open, first on the path, stands in for the desktop's opener.
    void SetUp() override
    {
        WindowTest::SetUp();
        qputenv("PATH", QFile::encodeName(makeFolder("bin")) + ':' + savedPath);
    }
    void TearDown() override
    {
        qputenv("PATH", savedPath);
        WindowTest::TearDown();
    }
    QString writeExecutable(const QString& path, const std::string& content)
    {
        writeFile(path, content);
        EXPECT_TRUE(QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner));
        return path;
    }
    // The recorder writes its working folder, its argument count and each argument, one a line.
    QString writeRecorder(const QString& path)
    {
        const std::string out = record().toStdString();
        return writeExecutable(path, "#!/bin/sh\n{ pwd; echo $#; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '"
                                         + out + ".part' && mv '" + out + ".part' '" + out + "'\n");
    }
    // A project that looks executable, as every file does on a drive formatted for Windows.
    QString selectExecutableProject(const QString& folder)
    {
        CubasePath = "Cubasesx.exe";
        Form1->Button4->setEnabled(true);
        return CurrentProjectPath = writeExecutable(folder + "/Chanson du soir.cpr", "");
    }
    // Clicks with the system's shell in place; returns what was started, or what the user was told.
    QString launch(QWidget* button)
    {
        QFile::remove(record());
        const size_t told = prompts.shown.size();
        shell::install(nullptr);
        click(button);
        shell::install(&shell);
        EXPECT_TRUE(QTest::qWaitFor([&] { return exists(record()) || prompts.shown.size() > told; }, 5000))
            << "nothing was started, nothing told";
        return prompts.shown.size() > told ? prompts.shown.back().text : QString::fromStdString(readFile(record()));
    }
    QString record() const { return workDir.filePath("lancement.txt"); }
    const QByteArray savedPath = qgetenv("PATH");
};

TEST_F(SystemShellTest, PlayerGetsTheAudioNameAsOneArgumentTheProjectGoesToTheOpenerAndFailuresAreTold)
{
    start();
    const QString exports = makeFolder("Mes mixes/Album 2");
    AudioPlayerPath = writeRecorder(makeFolder("Lecteur") + "/lecteur audio");
    Form1->Edit1->setText(exports + "/mix final 3.wav");
    EXPECT_EQ(launch(Form1->Button9), QFileInfo(exports).canonicalFilePath() + "\n1\nmix final 3.wav\n");
    // An empty field still starts the player, with nothing to play.
    Form1->Edit1->clear();
    EXPECT_EQ(launch(Form1->Button9), QFileInfo(workDir.path()).canonicalFilePath() + "\n0\n");
#ifdef __linux__
    writeRecorder(workDir.filePath("bin/xdg-open"));
    const QString project = selectExecutableProject(exports);
    EXPECT_EQ(launch(Form1->Button4), QFileInfo(exports).canonicalFilePath() + "\n1\n" + project + "\n");
#endif

    // What cannot be started is told to the user.
    AudioPlayerPath = exports + "/lecteur disparu";
    const QString refused = "Impossible de démarrer " + AudioPlayerPath + " : ";
    EXPECT_EQ(launch(Form1->Button9), refused + "le fichier est introuvable.");
    writeFile(AudioPlayerPath, "pas un programme");
    EXPECT_TRUE(launch(Form1->Button9).startsWith(refused));
#ifdef __linux__
    // The opener finds no program for the project's type.
    writeExecutable(workDir.filePath("bin/xdg-open"), "#!/bin/sh\nexit 3\n");
    selectExecutableProject(exports);
    EXPECT_EQ(launch(Form1->Button4),
              "Impossible d'ouvrir " + CurrentProjectPath + " : aucun programme associé à ce type de fichier n'a pu l'ouvrir.");
#endif
}


}  // namespace
}  // namespace orvasel::testing

#endif
