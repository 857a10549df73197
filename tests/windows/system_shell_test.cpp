// The real launcher behind "Play" and "Ouvrir dans Cubase": a program that records where it was
// started and with which arguments stands in for the player and for the desktop's opener.
#include "support/window_test.h"

#ifndef _WIN32

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

namespace orvasel::testing {
namespace {

using SystemShellTest = WindowTest;

TEST_F(SystemShellTest, PlayerGetsTheAudioNameAsOneArgumentTheProjectGoesToTheOpenerAndFailuresAreTold)
{
    // Our own xdg-open, first on the path, stands in for the desktop's opener.
    const QString bin = makeFolder("bin"), record = workDir.filePath("lancement.txt");
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ':' + savedPath);
    const auto restore = qScopeGuard([&] { qputenv("PATH", savedPath); });
    const auto writeProgram = [&](const QString& path, const std::string& script) {
        writeFile(path, "#!/bin/sh\n" + script);
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    };
    // Its working folder, its argument count and each argument, one a line.
    const std::string out = record.toStdString(), recorder = "{ pwd; echo $#; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '"
                                                            + out + ".part' && mv '" + out + ".part' '" + out + "'\n";
    // Returns what was started, or what the user was told.
    const auto launch = [&](QWidget* button) {
        QFile::remove(record);
        const size_t told = prompts.shown.size();
        shell::install(nullptr);
        click(button);
        shell::install(&shell);
        EXPECT_TRUE(QTest::qWaitFor([&] { return exists(record) || prompts.shown.size() > told; }, 5000));
        return prompts.shown.size() > told ? prompts.shown.back().text : QString::fromStdString(readFile(record));
    };

    start();
    const QString exports = makeFolder("Mes mixes/Album 2");
    AudioPlayerPath = writeProgram(makeFolder("Lecteur") + "/lecteur audio", recorder);
    Form1->Edit1->setText(exports + "/mix final 3.wav");
    EXPECT_EQ(launch(Form1->Button9), QFileInfo(exports).canonicalFilePath() + "\n1\nmix final 3.wav\n");
    Form1->Edit1->setText(exports + "/--script=evil.lua");  // read as a file, not as an option
    EXPECT_EQ(launch(Form1->Button9), QFileInfo(exports).canonicalFilePath() + "\n1\n./--script=evil.lua\n");
    AudioPlayerPath = exports + "/lecteur disparu";
    EXPECT_TRUE(launch(Form1->Button9).startsWith("Impossible de démarrer " + AudioPlayerPath + " : "));
#ifdef __linux__
    // A project that looks executable, as every file does on a drive formatted for Windows, is still opened.
    CubasePath = "Cubasesx.exe";
    Form1->Button4->setEnabled(true);
    CurrentProjectPath = writeProgram(exports + "/Chanson du soir.cpr", "");
    writeProgram(bin + "/xdg-open", recorder);
    EXPECT_EQ(launch(Form1->Button4), QFileInfo(exports).canonicalFilePath() + "\n1\n" + CurrentProjectPath + "\n");
    writeProgram(bin + "/xdg-open", "exit 3\n");  // no program for the project's type
    EXPECT_TRUE(launch(Form1->Button4).startsWith("Impossible d'ouvrir " + CurrentProjectPath + " : "));
#endif
}

}  // namespace
}  // namespace orvasel::testing

#endif
