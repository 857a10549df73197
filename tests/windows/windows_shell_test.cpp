// The Windows shell behind "Play" and "Ouvrir dans Cubase": a small program that records its working
// folder and its arguments stands in for the player, and for Cubase through the association of the
// ".cpr" type.
#include "support/window_test.h"

#ifdef _WIN32

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <windows.h>

namespace orvasel::testing {
namespace {

class WindowsShellTest : public WindowTest {
protected:
    static QString recorder()
    {
        return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/orvasel_test_player.exe");
    }
    QString record() const { return workDir.filePath("lancement.txt"); }
    // Clicks with the system's shell in place, then returns what the started program recorded.
    QString launch(QWidget* button)
    {
        QFile::remove(record());
        // Set in the process's own environment block, which the started programs inherit.
        SetEnvironmentVariableW(L"ORVASEL_TEST_RECORD", reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(record()).utf16()));
        shell::install(nullptr);
        click(button);
        shell::install(&shell);
        EXPECT_TRUE(QTest::qWaitFor([&] { return exists(record()); }, 30000))
            << "nothing was started: " << (prompts.shown.empty() ? std::string() : prompts.shown.back().text.toStdString());
        return QString::fromUtf8(readFile(record()));
    }
    // The association of a file type with a program, as an installed Cubase makes it.
    static void associate(const wchar_t* extension, const QString& program)
    {
        const std::wstring command = (QLatin1Char('"') + program + QStringLiteral("\" \"%1\"")).toStdWString();
        ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, extension, nullptr, REG_SZ, L"OrvaselTest.Projet",
                                  sizeof L"OrvaselTest.Projet"), ERROR_SUCCESS);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, L"OrvaselTest.Projet\\shell\\open\\command", nullptr, REG_SZ,
                                  command.c_str(), DWORD((command.size() + 1) * sizeof(wchar_t))), ERROR_SUCCESS);
    }
};

TEST_F(WindowsShellTest, PlayerGetsTheAudioNameAsOneArgumentInItsFolderAndCubaseGetsTheProject)
{
    start();
    const QString exports = QDir::toNativeSeparators(makeFolder(QStringLiteral("Mes mixes/Été & co")));
    AudioPlayerPath = recorder();
    // Exactly one argument, the name; one that reads as an option as a path in the folder.
    const std::pair<QString, QString> names[] = {{QStringLiteral("mix final & bis.wav"), QString()},
                                                 {QStringLiteral("Aïe&Ouille.wav"), QString()},
                                                 {QStringLiteral("-mix  2 .wav"), QStringLiteral(".\\")}};
    for (const auto& [name, prefix] : names) {
        Form1->Edit1->setText(exports + '\\' + name);
        EXPECT_EQ(launch(Form1->Button9), exports + "\n1\n" + prefix + name + "\n");
    }

    associate(L".cpr", recorder());
    const auto forget = qScopeGuard([] {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".cpr");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"OrvaselTest.Projet");
    });
    writeFile(exports + "\\Chanson du soir.cpr", "");
    openFolder(exports);
    selectProject(QStringLiteral("Chanson du soir.cpr"));
    CubasePath = QStringLiteral("C:\\Program Files\\Steinberg\\Cubase\\Cubasesx.exe");
    // The project goes by its name, in its folder.
    EXPECT_EQ(launch(Form1->Button4), exports + "\n1\nChanson du soir.cpr\n");
}

}  // namespace
}  // namespace orvasel::testing

#endif
