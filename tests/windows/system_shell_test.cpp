// The real launcher behind "Play" and "Ouvrir dans Cubase": programs that record where they were
// started and with which arguments stand in for the player and for the desktop's opener.
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
    void SetUp() override
    {
        WindowTest::SetUp();
        record = workDir.filePath("lancement.txt");
    }
    void TearDown() override
    {
        shell::install(&shell);
        WindowTest::TearDown();
    }

    // A program that writes its working folder, its argument count and each argument, one a line.
    QString writeRecorder(const QString& path)
    {
        const std::string script = "#!/bin/sh\n{ pwd; echo $#; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '"
                                   + record.toStdString() + ".part' && mv '" + record.toStdString() + ".part' '"
                                   + record.toStdString() + "'\n";
        writeFile(path, script);
        EXPECT_TRUE(QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser));
        return path;
    }
    // Clicks with the system's shell in place, then waits for the started program's record.
    QStringList launch(QWidget* button)
    {
        QFile::remove(record);
        shell::install(nullptr);
        click(button);
        shell::install(&shell);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(record); }, 5000)) << "nothing was started";
        QFile file(record);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    static QString canonical(const QString& folder) { return QFileInfo(folder).canonicalFilePath(); }

    QString record;
};

TEST_F(SystemShellTest, PlayerGetsTheAudioNameAsOneArgumentInTheAudioFolder)
{
    start();
    const QString exports = makeFolder("Mes mixes/Album 2");
    writeFile(exports + "/mix final 3.wav", "RIFF");
    AudioPlayerPath = writeRecorder(makeFolder("Lecteur") + "/lecteur audio");
    Form1->Edit1->setText(exports + "/mix final 3.wav");
    EXPECT_EQ(launch(Form1->Button9), (QStringList{canonical(exports), "1", "mix final 3.wav"}));

    // An empty field still starts the player, with nothing to play.
    Form1->Edit1->clear();
    const QStringList started = launch(Form1->Button9);
    EXPECT_EQ(started, (QStringList{canonical(workDir.path()), "0"}));
    EXPECT_TRUE(shell.requests.empty());
}

#ifdef __linux__
TEST_F(SystemShellTest, ProjectOpensWithTheDesktopOpenerInItsFolder)
{
    // Our own xdg-open first on the path, as the desktop's opener.
    const QString bin = makeFolder("bin");
    writeRecorder(bin + "/xdg-open");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ':' + path);
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });

    start();
    const QString projects = makeFolder("Mes projets/Album 2");
    writeFile(projects + "/Chanson du soir.cpr", "RIFF");
    CurrentProjectPath = projects + "/Chanson du soir.cpr";
    Form1->Button4->setEnabled(true);
    CubasePath = "Cubasesx.exe";
    EXPECT_EQ(launch(Form1->Button4), (QStringList{canonical(projects), "1", projects + "/Chanson du soir.cpr"}));
}
#endif

}  // namespace
}  // namespace orvasel::testing

#endif
