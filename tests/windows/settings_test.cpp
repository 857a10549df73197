// The settings file through the real window: read at start, written at every close request, and kept
// in the user's configuration when the program folder is read-only.
#include "support/window_test.h"

#include "platform/paths.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>

namespace orvasel::testing {
namespace {

const std::string kInitial = "rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n";

std::string crlf(std::initializer_list<std::string> lines)
{
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

using SettingsTest = WindowTest;

TEST_F(SettingsTest, TheFileReadAtStartIsWrittenBackWholeAtCloseAndAMalformedOneIsToldAndKept)
{
    const std::string s(1, paths::separator().toLatin1()), a = s + "a" + s, b = s + "b" + s;
    const QString etudes = folderText(makeFolder(QStringLiteral("Études")));
    const std::string bookmarks = crlf({"C:\\Cubase.exe", "1", a, etudes.toLatin1().toStdString(), "SIG", "SIG",
                                        "\xC9tudes \xE0 finir", "EOF", "D:\\Lecteur.exe"});
    struct Case { std::optional<std::string> installed; std::string saved; QString listed; bool malformed; };
    const Case cases[] = {
        {std::nullopt, kInitial, "", false},
        {bookmarks, bookmarks, etudes, false},  // "SIG" is a marker only among the folders
        {crlf({"rien", "2", a, b, "SIG", "A", "B", "EOF", ""}),  // an index beyond the list selects nothing
         crlf({"rien", "-1", a, b, "SIG", "A", "B", "EOF", ""}), "", false},
        // Malformed: what was read before the fault is kept, the lists evened out.
        {crlf({"C", "un", a, "SIG", "A", "EOF", "P"}), crlf({"C", "-1", a, "SIG", "A", "EOF", "P"}), "", true},
        {crlf({"C", "0", a, b}), crlf({"C", "0", a, b, "SIG", a, b, "EOF", ""}), QString::fromStdString(a), true},
        {crlf({"C", "0", std::string(255, 'x'), "SIG", "EOF", "P"}), crlf({"C", "-1", "SIG", "EOF", ""}), "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installed.value_or("no file"));
        QFile::remove(settingsPath());
        if (c.installed)
            writeFile(settingsPath(), *c.installed);
        prompts.shown.clear();
        start();
        EXPECT_EQ(Form1->Label2->Caption(), c.listed);  // the current bookmark's folder is listed at start
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

TEST_F(SettingsTest, ASaveThatFailsWritesNothingAndLetsTheUserStayOrClose)
{
    writeFile(settingsPath(), kInitial);
    const std::function<void()> unstorable[] = {
        [] { CubasePath = QStringLiteral("C:\\音楽\\Cubasesx.exe"); },
        [] { AudioPlayerPath = QStringLiteral("C:\\Lecteur\nlecteur.exe"); },
    };
    for (const auto& makeUnstorable : unstorable) {
        prompts.shown.clear();
        start();
        makeUnstorable();
        EXPECT_FALSE(requestClose());  // the box closed without an answer
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_TRUE(prompts.shown[0].text.startsWith("Impossible d'enregistrer les réglages dans " + settingsPath() + " : "));
        EXPECT_TRUE(prompts.shown[0].text.endsWith(".\n\nFermer Orvasel quand même ?"));
        EXPECT_EQ(readFile(settingsPath()), kInitial);
        stop();
    }

    // A folder in place of the file is left alone; closing anyway goes on to the question about the note.
    ASSERT_TRUE(QFile::remove(settingsPath()) && QDir().mkdir(settingsPath()));
    start();
    Form1->Button2->setEnabled(true);
    prompts.shown.clear();
    prompts.answers = {prompts::Answer::Ok};
    EXPECT_FALSE(requestClose());
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].text, "Fermer Orvasel sans enregistrer?");
    EXPECT_EQ(prompts.shown[1].choice, prompts::Choice::OkCancel);
    prompts.answers = {prompts::Answer::Ok, prompts::Answer::Ok};
    EXPECT_TRUE(requestClose());
    EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}

TEST_F(SettingsTest, ReadOnlyProgramFolderLeavesTheSettingsInTheUserConfiguration)
{
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir.path()));
    const std::string installed = crlf({"rien", "0", "/a/", "SIG", "A", "EOF", ""});
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
    QString previous = QStringLiteral("rien");
    for (const QString& cubase : {QStringLiteral("C:\\Cubase\\Cubasesx.exe"), QStringLiteral("D:\\Cubase.exe")}) {
        start();
        EXPECT_EQ(CubasePath, previous);
        EXPECT_TRUE(prompts.shown.empty());
        CubasePath = cubase;
        EXPECT_TRUE(requestClose());
        EXPECT_EQ(readFile(configDir.filePath("Orvasel/Orvasel.you")),
                  crlf({cubase.toStdString(), "0", "/a/", "SIG", "A", "EOF", ""}));
        stop();
        previous = cubase;
    }
    EXPECT_EQ(readFile(settingsPath()), installed);
}

}  // namespace
}  // namespace orvasel::testing
