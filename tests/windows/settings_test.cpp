// The settings file through the real window: read at start, written at every close request, and kept
// in the user's configuration when the program folder is read-only.
#include "support/window_test.h"

#include "platform/paths.h"

#include <QDir>
#include <QProcess>
#include <QTest>
#include <QScopeGuard>

namespace orvasel::testing {
namespace {

using namespace std::string_literals;
const std::string kInitial = "rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n";

using SettingsTest = WindowTest;

TEST_F(SettingsTest, TheFileReadAtStartIsWrittenBackWholeAtCloseAndAMalformedOneIsToldAndKept)
{
    const std::string s(1, paths::separator().toLatin1()), a = s + "a" + s;
    const std::string etudes = folderText(makeFolder(QStringLiteral("Études"))).toLatin1().toStdString();
    const std::string bookmarks = "C:\\Cubase.exe\r\n1\r\n" + a + "\r\n" + etudes + "\r\nSIG\r\nSIG\r\n\xC9tudes \xE0 finir\r\nEOF\r\nD:\\L.exe\r\n";
    struct Case { std::optional<std::string> installed; std::string saved; std::string listed; bool malformed; };
    const Case cases[] = {
        {std::nullopt, kInitial, "", false},
        {bookmarks, bookmarks, etudes, false},  // "SIG" is a marker only among the folders
        // What was read before the fault is kept, the lists evened out.
        {"C\r\n0\r\n" + a + "\r\n", "C\r\n0\r\n" + a + "\r\nSIG\r\n" + a + "\r\nEOF\r\n\r\n", a, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installed.value_or("no file"));
        QFile::remove(settingsPath());
        if (c.installed)
            writeFile(settingsPath(), *c.installed);
        prompts.shown.clear();
        start();
        EXPECT_EQ(Form1->Label2->Caption(), QString::fromLatin1(c.listed));
        ASSERT_EQ(prompts.shown.size(), c.malformed ? 1u : 0u);
        EXPECT_TRUE(!c.malformed || prompts.shown[0].text.contains(settingsPath()));
        EXPECT_EQ(readFile(settingsPath() + ".bak"), c.malformed ? *c.installed : "<missing>");
        // An unsaved note: the close request is cancelled, and the file rewritten all the same.
        Form1->Button2->setEnabled(true);
        EXPECT_FALSE(requestClose());
        EXPECT_EQ(readFile(settingsPath()), c.saved);
        stop();
    }
}

TEST_F(SettingsTest, ClosingKeepsWhatAnotherCopySavedAndNeverWritesOverAFileItCouldNotRead)
{
    std::string folder[3];
    for (int i = 0; i < 3; ++i)
        folder[i] = folderText(makeFolder(QString(QChar('A' + i)))).toStdString();
    writeFile(settingsPath(), "rien\r\n0\r\n" + folder[0] + "\r\n" + folder[1] + "\r\nSIG\r\nA\r\nB\r\nEOF\r\n\r\n");
    start();
    // Here: Cubase located, bookmark B deleted (A becomes current again).
    CubasePath = QStringLiteral("C:\\Cubasesx.exe");
    Form1->ComboBox2->SetItemIndex(1);
    Form1->ComboBox2Change(Form1->ComboBox2);
    prompts.answers = {prompts::Answer::Yes};
    click(Form1->Button6);
    // Meanwhile another copy added C and chose a player.
    writeFile(settingsPath(), "rien\r\n1\r\n" + folder[0] + "\r\n" + folder[1] + "\r\n" + folder[2] +
                                  "\r\nSIG\r\nA\r\nB\r\nC\r\nEOF\r\nvlc\r\n");
    Form1->Button2->setEnabled(true);  // the close is cancelled after the save
    EXPECT_FALSE(requestClose());
    const std::string merged = "C:\\Cubasesx.exe\r\n0\r\n" + folder[0] + "\r\n" + folder[2] + "\r\nSIG\r\nA\r\nC\r\nEOF\r\nvlc\r\n";
    EXPECT_EQ(readFile(settingsPath()), merged);
    // The window shows what the file now holds, and a second close writes the same.
    EXPECT_EQ(Form1->ComboBox2->Items(), QStringList({"A", "C"}));
    Form1->Button2->setEnabled(false);
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(readFile(settingsPath()), merged);
    stop();

    // A file that cannot be read at start (a folder holds its name here) is read again at close,
    // and nothing is written over it without the user's word.
    ASSERT_TRUE(QFile::remove(settingsPath()) && QDir().mkdir(settingsPath()));
    prompts.shown.clear();
    start();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.contains("sans rien en effacer"));
    AudioPlayerPath = QStringLiteral("player");
    EXPECT_FALSE(requestClose());  // "replace it?" No, then "close anyway?" Cancel
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(prompts.shown[1].choice, prompts::Choice::YesNo);
    EXPECT_TRUE(prompts.shown[2].text.contains("il n'a pas été remplacé"));
    ASSERT_TRUE(QDir().rmdir(settingsPath()));
    writeFile(settingsPath(), merged);
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(readFile(settingsPath()), "C:\\Cubasesx.exe\r\n-1\r\n" + folder[0] + "\r\n" + folder[2] +
                                            "\r\nSIG\r\nA\r\nC\r\nEOF\r\nplayer\r\n");
}

TEST_F(SettingsTest, TwoCopiesClosingTogetherKeepBothAndDamageIsKeptInCopiesNeverWrittenOver)
{
    const QString a = folderText(makeFolder("A")), b = folderText(makeFolder("B"));
    writeFile(settingsPath(), kInitial);
    start();
    Form1->ComboBox1->AddItem(a);
    Form1->ComboBox2->AddItem("A");
    // The other copy holds the lock while it merges, slowly: this close waits for it, then merges
    // what it wrote. One that was killed holding it does not count.
    const auto otherCopy = [&](int milliseconds) {
        auto* other = new QProcess(Form1);
        other->start(QCoreApplication::applicationFilePath(),
                     {"--close-slowly", settingsPath(), "rien|-1|" + b + "|SIG|B|EOF||", QString::number(milliseconds)});
        EXPECT_TRUE(QTest::qWaitFor([&] { return exists(settingsPath() + ".held"); }, 20000));
        QFile::remove(settingsPath() + ".held");
        return other;
    };
    QProcess* slow = otherCopy(800);
    Form1->Button2->setEnabled(true);  // the close stays cancelled after its save
    EXPECT_FALSE(requestClose());
    EXPECT_TRUE((slow->state() == QProcess::NotRunning || slow->waitForFinished(20000)) && slow->exitCode() == 0);
    const std::string both = "rien\r\n-1\r\n" + a.toStdString() + "\r\n" + b.toStdString() + "\r\nSIG\r\nA\r\nB\r\nEOF\r\n\r\n";
    EXPECT_EQ(readFile(settingsPath()), both);
    QProcess* killed = otherCopy(60000);
    killed->kill();
    ASSERT_TRUE(killed->waitForFinished(20000));
    prompts.shown.clear();
    EXPECT_FALSE(requestClose());
    ASSERT_EQ(prompts.shown.size(), 1u);  // the note's question alone: no "another copy is saving"
    EXPECT_EQ(prompts.shown[0].text, "Fermer Orvasel sans enregistrer?");

    // Damaged meanwhile: told before it is replaced, and kept in a copy of its own each time.
    for (const std::string damage : {"rien\r\nabc\r\n", "rien\r\n0\r\n/x/\r\n"}) {
        writeFile(settingsPath(), damage);
        prompts.shown.clear();
        EXPECT_FALSE(requestClose());
        ASSERT_EQ(prompts.shown.size(), 2u);  // told first, then the note's question
        EXPECT_TRUE(prompts.shown[0].text.contains("a été abîmé"));
        EXPECT_EQ(readFile(settingsPath()), both);
    }
    EXPECT_EQ(readFile(settingsPath() + ".bak"), "rien\r\nabc\r\n");
    EXPECT_EQ(readFile(settingsPath() + ".bak-2"), "rien\r\n0\r\n/x/\r\n");
}

TEST_F(SettingsTest, ASaveThatFailsWritesNothingAndLetsTheUserStayOrClose)
{
    writeFile(settingsPath(), kInitial);
    start();
    CubasePath = QStringLiteral("C:\\音楽\\Cubasesx.exe");  // beyond the file's code page
    Form1->Button2->setEnabled(true);
    EXPECT_FALSE(requestClose());  // the box closed without an answer
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.startsWith("Impossible d'enregistrer les réglages dans " + settingsPath()));
    // Closing anyway goes on to the question about the note.
    prompts.answers = {prompts::Answer::Ok, prompts::Answer::Ok};
    EXPECT_TRUE(requestClose());
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_TRUE(prompts.shown[2].text.contains("sans enregistrer"));
    EXPECT_EQ(readFile(settingsPath()), kInitial);
}

TEST_F(SettingsTest, ReadOnlyProgramFolderLeavesTheSettingsInTheUserConfiguration)
{
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir.path()));
    const std::string installed = "rien\r\n0\r\n/a/\r\nSIG\r\nA\r\nEOF\r\n\r\n";
    writeFile(settingsPath(), installed);
    // chattr: the administrator ignores permission bits.
    const auto setReadOnly = [&](bool on) {
        QFile::setPermissions(programDir.path(), QFile::ReadOwner | QFile::ExeOwner | (on ? QFile::Permissions() : QFile::WriteOwner));
        QProcess::execute("chattr", {on ? "+i" : "-i", programDir.path()});
    };
    setReadOnly(true);
    const auto restore = qScopeGuard([&] { setReadOnly(false); qunsetenv("XDG_CONFIG_HOME"); });
    if (QFile probe(programDir.filePath("probe")); probe.open(QIODevice::WriteOnly))
        GTEST_SKIP() << "no folder can be made read-only here";

    // The first run starts from the installed file; later runs from their own, never replaced.
    for (const auto& [previous, cubase] : {std::pair("rien", "C:\\Cubasesx.exe"), {"C:\\Cubasesx.exe", "D:\\Cubase.exe"}}) {
        start();
        EXPECT_EQ(CubasePath, previous);
        CubasePath = cubase;
        EXPECT_TRUE(requestClose());
        EXPECT_EQ(readFile(configDir.filePath("Orvasel/Orvasel.you")), cubase + "\r\n0\r\n/a/\r\nSIG\r\nA\r\nEOF\r\n\r\n"s);
        stop();
    }
    EXPECT_EQ(readFile(settingsPath()), installed);
}

}  // namespace
}  // namespace orvasel::testing
