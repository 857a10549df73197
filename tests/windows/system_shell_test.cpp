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

class SystemShellTest : public WindowTest {
protected:
    // Writes the recorder: its working folder, its argument count and each argument, one a line.
    QString writeRecorder(const QString& path)
    {
        const std::string out = record().toStdString();
        writeFile(path, "#!/bin/sh\n{ pwd; echo $#; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + out
                            + ".part' && mv '" + out + ".part' '" + out + "'\n");
        EXPECT_TRUE(QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner));
        return path;
    }
    // Clicks with the system's shell in place, then returns what the started program recorded.
    QString launch(QWidget* button)
    {
        QFile::remove(record());
        shell::install(nullptr);
        click(button);
        shell::install(&shell);
        EXPECT_TRUE(QTest::qWaitFor([&] { return exists(record()); }, 5000)) << "nothing was started";
        return QString::fromStdString(readFile(record()));
    }
    QString record() const { return workDir.filePath("lancement.txt"); }
};

TEST_F(SystemShellTest, PlayerGetsTheAudioNameAsOneArgumentAndTheProjectGoesToTheOpener)
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
    // Our own xdg-open, first on the path, stands in for the desktop's opener.
    const QByteArray path = qgetenv("PATH");
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
    qputenv("PATH", QFile::encodeName(makeFolder("bin")) + ':' + path);
    writeRecorder(workDir.filePath("bin/xdg-open"));
    CurrentProjectPath = exports + "/Chanson du soir.cpr";
    Form1->Button4->setEnabled(true);
    EXPECT_EQ(launch(Form1->Button4), QFileInfo(exports).canonicalFilePath() + "\n1\n" + CurrentProjectPath + "\n");
#endif
}

}  // namespace
}  // namespace orvasel::testing

#endif
