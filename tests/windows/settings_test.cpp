// The settings file through the real window: loading at start, saving at every close request, the
// question about an unsaved note, and where the file lives when the program folder is read-only.
#include "support/window_test.h"

#include "platform/ansi.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryFile>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace orvasel::testing {
namespace {

const std::string kInitial = "rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n";

std::string crlf(std::initializer_list<std::string> lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// Makes a folder refuse new files, to the administrator too, who ignores permission bits.
void setReadOnly(const QString& path, bool readOnly)
{
    const QFile::Permissions write = readOnly ? QFile::Permissions() : QFile::WriteOwner;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | write);
#ifdef __linux__
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = readOnly ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0)
        ::close(fd);
#endif
}

class SettingsTest : public WindowTest {
protected:
    std::vector<Shown> confirmations() const { return prompts.ofKind(Shown::Kind::Confirmation); }
    std::vector<Shown> messages() const { return prompts.ofKind(Shown::Kind::Message); }
};

TEST_F(SettingsTest, TheFileReadAtStartIsWrittenBackWholeAtCloseAndAMalformedOneIsToldAndKept)
{
    const QString etudes = folderText(makeFolder(QStringLiteral("Études")));
    const auto cp1252 = [](const QString& text) { return ansi::fromUnicode(text).value(); };
    const std::string bookmarks = crlf({"C:\\Cubase.exe", "1", "/a/", cp1252(etudes), "SIG", "SIG",
                                        cp1252(QStringLiteral("Études à finir")), "EOF", "D:\\Lecteur.exe"});
    struct Case { std::optional<std::string> installed; std::string saved; QString listed; bool malformed; };
    const Case cases[] = {
        {std::nullopt, kInitial, "", false},
        {kInitial, kInitial, "", false},
        {bookmarks, bookmarks, etudes, false},  // "SIG" is a marker only among the folders
        {crlf({"rien", "2", "/a/", "/b/", "SIG", "A", "B", "EOF", ""}),  // an index beyond the list selects nothing
         crlf({"rien", "-1", "/a/", "/b/", "SIG", "A", "B", "EOF", ""}), "", false},
        // Malformed: what was read before the fault is kept, the lists evened out.
        {crlf({"C", "un", "/a/", "SIG", "A", "EOF", "P"}), crlf({"C", "-1", "/a/", "SIG", "A", "EOF", "P"}), "", true},
        {crlf({"C", "0", "/a/", "/b/"}), crlf({"C", "0", "/a/", "/b/", "SIG", "/a/", "/b/", "EOF", ""}), "/a/", true},
        {crlf({"C", "0", std::string(255, 'x'), "SIG", "EOF", "P"}), crlf({"C", "-1", "SIG", "EOF", ""}), "", true},
    };
    const QString backup = settingsPath() + QStringLiteral(".bak");
    std::string whenAsked;
    prompts.whileShown = [&] { whenAsked = readFile(settingsPath()); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installed.value_or("no file"));
        QFile::remove(settingsPath());
        QFile::remove(backup);
        if (c.installed)
            writeFile(settingsPath(), *c.installed);
        prompts.shown.clear();
        start();
        EXPECT_EQ(Form1->Label2->Caption(), c.listed);  // the current bookmark's folder is listed at start
        ASSERT_EQ(messages().size(), c.malformed ? 1u : 0u);
        for (const Shown& message : messages())
            EXPECT_TRUE(message.text.contains(settingsPath()));
        EXPECT_EQ(readFile(backup), c.malformed ? *c.installed : "<missing>");

        // Every close request rewrites the file, then asks about an unsaved note; Cancel keeps the window.
        Form1->Button2->setEnabled(true);
        EXPECT_FALSE(requestClose());
        EXPECT_EQ(whenAsked, c.saved);
        ASSERT_EQ(confirmations().size(), 1u);
        EXPECT_EQ(confirmations()[0].text, "Fermer Orvasel sans enregistrer?");
        EXPECT_EQ(confirmations()[0].choice, prompts::Choice::OkCancel);
        prompts.answers = {prompts::Answer::Ok};
        EXPECT_TRUE(requestClose());
        EXPECT_EQ(readFile(settingsPath()), c.saved);
        stop();
    }
}

TEST_F(SettingsTest, ASaveThatFailsWritesNothingAndLetsTheUserStayOrClose)
{
    const QString question = "Impossible d'enregistrer les réglages dans " + settingsPath() + " : ";
    writeFile(settingsPath(), kInitial);
    const std::function<void()> unstorable[] = {
        [] { CubasePath = QStringLiteral("C:\\音楽\\Cubasesx.exe"); },
        [] { AudioPlayerPath = QStringLiteral("C:\\Lecteur\nlecteur.exe"); },
        [] { Form1->ComboBox1->AddItem("SIG"); Form1->ComboBox2->AddItem("Signet"); },
        [] { Form1->ComboBox1->AddItem("/a/"); Form1->ComboBox2->AddItem("EOF"); },
    };
    for (const auto& makeUnstorable : unstorable) {
        prompts.shown.clear();
        start();
        makeUnstorable();
        EXPECT_FALSE(requestClose());  // the box closed without an answer
        ASSERT_EQ(confirmations().size(), 1u);
        EXPECT_TRUE(confirmations()[0].text.startsWith(question));
        EXPECT_TRUE(confirmations()[0].text.endsWith(".\n\nFermer Orvasel quand même ?"));
        EXPECT_EQ(readFile(settingsPath()), kInitial);
        stop();
    }

    // A folder in place of the file is left alone; closing anyway goes on to the question about the note.
    ASSERT_TRUE(QFile::remove(settingsPath()) && QDir().mkdir(settingsPath()));
    start();
    Form1->Button2->setEnabled(true);
    prompts.shown.clear();
    prompts.answers = {prompts::Answer::Ok, prompts::Answer::Ok};
    EXPECT_TRUE(requestClose());
    ASSERT_EQ(confirmations().size(), 2u);
    EXPECT_TRUE(confirmations()[0].text.startsWith(question));
    EXPECT_EQ(confirmations()[1].text, "Fermer Orvasel sans enregistrer?");
    EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}

TEST_F(SettingsTest, ReadOnlyProgramFolderLeavesTheSettingsInTheUserConfiguration)
{
    QTemporaryDir configDir;  // the user's configuration folder
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir.path()));
    const std::string installed = crlf({"rien", "0", "/a/", "SIG", "A", "EOF", ""});
    writeFile(settingsPath(), installed);
    setReadOnly(programDir.path(), true);
    const auto restore = qScopeGuard([&] { setReadOnly(programDir.path(), false); qunsetenv("XDG_CONFIG_HOME"); });
    if (QTemporaryFile probe(programDir.path() + QStringLiteral("/probe-XXXXXX")); probe.open())
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
