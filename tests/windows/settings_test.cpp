// The settings file through the real window: loading at start, saving at every close request, the
// question about an unsaved note, and where the file lives when the program folder is read-only.
#include "support/window_test.h"

#include "platform/ansi.h"
#include "platform/program.h"

#include <QDir>
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

std::string cp1252(const QString& text)
{
    return ansi::fromUnicode(text).value();
}

// A folder that refuses new files, to the administrator too, who ignores permission bits.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path) { set(true); }
    ~ReadOnlyFolder() { set(false); }
    bool refusesFiles() const
    {
        QTemporaryFile probe(path_ + QStringLiteral("/probe-XXXXXX"));
        return !probe.open();
    }

private:
    void set(bool readOnly)
    {
        const auto read = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup;
        QFile::setPermissions(path_, readOnly ? read : read | QFile::WriteOwner);
#ifdef __linux__
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = readOnly ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            ::close(fd);
#endif
    }
    QString path_;
};

class SettingsTest : public WindowTest {
protected:
    // The user's configuration folder is a temporary one, whatever the test does.
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(configDir.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir.path()));
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        qunsetenv("XDG_CONFIG_HOME");
    }
    QString userSettingsPath() const { return configDir.filePath(QStringLiteral("Orvasel/Orvasel.you")); }

    std::vector<Shown> confirmations() const { return prompts.ofKind(Shown::Kind::Confirmation); }
    std::vector<Shown> messages() const { return prompts.ofKind(Shown::Kind::Message); }

    QTemporaryDir configDir;
};

TEST_F(SettingsTest, InitialStateFromTheInstalledFileOrNoFileIsWrittenBackAsInstalled)
{
    for (const bool installed : {true, false}) {
        SCOPED_TRACE(installed ? "installed file" : "no file");
        QFile::remove(settingsPath());
        if (installed)
            writeFile(settingsPath(), kInitial);
        start();
        EXPECT_EQ(CubasePath, "rien");
        EXPECT_EQ(Form1->ComboBox1->count(), 0);
        EXPECT_EQ(Form1->ComboBox2->count(), 0);
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), -1);
        EXPECT_TRUE(AudioPlayerPath.isEmpty());
        EXPECT_TRUE(requestClose());
        EXPECT_EQ(readFile(settingsPath()), kInitial);
        EXPECT_TRUE(prompts.shown.empty());
        stop();
    }
}

TEST_F(SettingsTest, BookmarksAndPathsComeBackAfterARestart)
{
    const QString demos = folderText(makeFolder(QStringLiteral("Démos")));
    const QString etudes = folderText(makeFolder(QStringLiteral("Études")));
    writeFile(etudes + QStringLiteral("Ballade.cpr"), "");
    // The longest line the file holds, with letters of code page 1252 in it.
    QString cubase = QStringLiteral("C:\\Programmes\\Cubase é\\");
    cubase += QString(254 - cubase.size() - 12, QLatin1Char('x')) + QStringLiteral("Cubasesx.exe");
    const QString player = QStringLiteral("C:\\Lecteur\\Écoute.exe");
    // Line feeds alone, a name "SIG" (a marker only among the folders), no break after the last line.
    writeFile(settingsPath(), cp1252(cubase) + "\n1\n" + cp1252(demos) + "\n" + cp1252(etudes) +
                                  "\nSIG\nSIG\n" + cp1252(QStringLiteral("Études à finir")) + "\nEOF\n" +
                                  cp1252(player));
    const std::string saved = crlf({cp1252(cubase), "1", cp1252(demos), cp1252(etudes), "SIG", "SIG",
                                    cp1252(QStringLiteral("Études à finir")), "EOF", cp1252(player)});

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        start();
        EXPECT_EQ(CubasePath, cubase);
        EXPECT_EQ(Form1->ComboBox1->Items(), QStringList({demos, etudes}));
        EXPECT_EQ(Form1->ComboBox2->Items(), QStringList({"SIG", "Études à finir"}));
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 1);
        EXPECT_EQ(Form1->ComboBox2->ItemIndex(), 1);
        EXPECT_EQ(AudioPlayerPath, player);
        // The stored bookmark's folder is listed at start.
        EXPECT_EQ(Form1->Label2->Caption(), etudes);
        EXPECT_EQ(CurrentFolder, etudes);
        EXPECT_EQ(Form1->ListBox2->count(), 1);
        EXPECT_TRUE(requestClose());
        EXPECT_EQ(readFile(settingsPath()), saved);
        EXPECT_TRUE(prompts.shown.empty());
        stop();
    }
}

TEST_F(SettingsTest, OnlyAStoredIndexInsideTheListIsSelectedAndEnablesRafraichir)
{
    for (const auto& [index, selected] : {std::pair{"1", 1}, std::pair{"2", -1}}) {
        SCOPED_TRACE(index);
        writeFile(settingsPath(), crlf({"rien", index, "/a/", "/b/", "SIG", "A", "B", "EOF", ""}));
        start();
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), selected);
        EXPECT_EQ(Form1->ComboBox2->ItemIndex(), selected);
        EXPECT_EQ(Form1->Label2->Caption(), selected < 0 ? "" : "/b/");

        // Loading alone, into empty lists, as at start before the stored bookmark is listed.
        Form1->ComboBox1->clear();
        Form1->ComboBox2->clear();
        Form1->Button3->setEnabled(false);
        Form1->LoadSettings();
        EXPECT_EQ(Form1->Button3->isEnabled(), selected >= 0);

        EXPECT_TRUE(requestClose());
        EXPECT_EQ(readFile(settingsPath()),
                  crlf({"rien", selected < 0 ? "-1" : index, "/a/", "/b/", "SIG", "A", "B", "EOF", ""}));
        stop();
    }
}

TEST_F(SettingsTest, MalformedFileKeepsWhatWasReadTellsOnceAndSurvivesAsBak)
{
    struct Case {
        std::string bytes;
        QString cubase;
        QStringList folders;
        QString player;
    };
    const std::string tooLong(255, 'x');
    const Case cases[] = {
        {crlf({"C", "un", "/a/", "SIG", "A", "EOF", "P"}), "C", {"/a/"}, "P"},
        {"", "rien", {}, ""},
        {crlf({"C", "0", "/a/", "/b/"}), "C", {"/a/", "/b/"}, ""},
        {crlf({"C", "0", "/a/", "SIG", "A"}), "C", {"/a/"}, ""},
        {crlf({"C", "0", "/a/", "SIG", "A", "EOF"}), "C", {"/a/"}, ""},
        {crlf({"C", "0", tooLong, "SIG", "EOF", "P"}), "C", {}, ""},
    };
    const QString backup = settingsPath() + QStringLiteral(".bak");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        QFile::remove(backup);
        prompts.shown.clear();
        writeFile(settingsPath(), c.bytes);
        start();
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_TRUE(messages()[0].text.contains(settingsPath()));
        EXPECT_EQ(readFile(backup), c.bytes);
        EXPECT_EQ(CubasePath, c.cubase);
        EXPECT_EQ(Form1->ComboBox1->Items(), c.folders);
        EXPECT_EQ(Form1->ComboBox2->count(), int(c.folders.size()));
        EXPECT_EQ(AudioPlayerPath, c.player);

        // What was kept is saved whole and reads back without a word; the copy stays as it was.
        EXPECT_TRUE(requestClose());
        stop();
        prompts.shown.clear();
        start();
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_EQ(Form1->ComboBox1->Items(), c.folders);
        EXPECT_EQ(readFile(backup), c.bytes);
        stop();
    }
}

TEST_F(SettingsTest, UnreadableFileIsToldAndAFailedSaveLetsTheUserStayOrClose)
{
    ASSERT_TRUE(QDir().mkdir(settingsPath()));
    start();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.startsWith("Impossible de lire les réglages dans " + settingsPath()));
    EXPECT_EQ(CubasePath, "rien");
    EXPECT_EQ(Form1->ComboBox1->count(), 0);

    const QString question = "Impossible d'enregistrer les réglages dans " + settingsPath() + " : ";
    EXPECT_FALSE(requestClose());  // the box closed without an answer
    ASSERT_EQ(confirmations().size(), 1u);
    EXPECT_TRUE(confirmations()[0].text.startsWith(question));
    EXPECT_TRUE(confirmations()[0].text.endsWith(".\n\nFermer Orvasel quand même ?"));

    // Closing anyway goes on to the question about the unsaved note.
    Form1->Button2->setEnabled(true);
    prompts.answers = {prompts::Answer::Ok, prompts::Answer::Cancel};
    EXPECT_FALSE(requestClose());
    ASSERT_EQ(confirmations().size(), 3u);
    EXPECT_EQ(confirmations()[2].text, "Fermer Orvasel sans enregistrer?");
    prompts.answers = {prompts::Answer::Ok, prompts::Answer::Ok};
    EXPECT_TRUE(requestClose());
    EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}

TEST_F(SettingsTest, ValuesTheFileCannotHoldAreNeverWritten)
{
    writeFile(settingsPath(), kInitial);
    start();
    const std::function<void()> cases[] = {
        [] { CubasePath = QStringLiteral("C:\\音楽\\Cubasesx.exe"); },
        [] { AudioPlayerPath = QStringLiteral("C:\\Lecteur\nlecteur.exe"); },
        [] { Form1->ComboBox1->AddItem("SIG"); Form1->ComboBox2->AddItem("Signet"); },
        [] { Form1->ComboBox1->AddItem("/a/"); Form1->ComboBox2->AddItem("EOF"); },
        [] { Form1->ComboBox1->AddItem("/a/"); Form1->ComboBox2->AddItem(QString(255, QLatin1Char('n'))); },
    };
    for (const auto& makeUnstorable : cases) {
        prompts.shown.clear();
        makeUnstorable();
        EXPECT_FALSE(requestClose());
        ASSERT_EQ(confirmations().size(), 1u);
        EXPECT_TRUE(
            confirmations()[0].text.startsWith("Impossible d'enregistrer les réglages dans " + settingsPath()));
        EXPECT_EQ(readFile(settingsPath()), kInitial);
        CubasePath = QStringLiteral("rien");
        AudioPlayerPath.clear();
        Form1->ComboBox1->clear();
        Form1->ComboBox2->clear();
    }
}

TEST_F(SettingsTest, CloseRewritesTheFileBeforeAskingAboutTheUnsavedNote)
{
    writeFile(settingsPath(), kInitial);
    start();
    CubasePath = QStringLiteral("C:\\Cubase\\Cubasesx.exe");
    Form1->Button2->setEnabled(true);
    std::string whenAsked;
    prompts.whileShown = [&] { whenAsked = readFile(settingsPath()); };

    EXPECT_FALSE(requestClose());  // Cancel, Escape or the box's close button
    EXPECT_TRUE(Form1->isVisible());
    ASSERT_EQ(confirmations().size(), 1u);
    EXPECT_EQ(confirmations()[0].text, "Fermer Orvasel sans enregistrer?");
    EXPECT_EQ(confirmations()[0].choice, prompts::Choice::OkCancel);
    EXPECT_EQ(whenAsked, crlf({"C:\\Cubase\\Cubasesx.exe", "-1", "SIG", "EOF", ""}));

    AudioPlayerPath = QStringLiteral("C:\\Lecteur\\lecteur.exe");
    prompts.answers = {prompts::Answer::Ok};
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(confirmations().size(), 2u);
    EXPECT_EQ(readFile(settingsPath()),
              crlf({"C:\\Cubase\\Cubasesx.exe", "-1", "SIG", "EOF", "C:\\Lecteur\\lecteur.exe"}));
}

TEST_F(SettingsTest, ReadOnlyProgramFolderLeavesTheSettingsInTheUserConfiguration)
{
    const std::string installed = crlf({"rien", "0", "/a/", "SIG", "A", "EOF", ""});
    writeFile(settingsPath(), installed);
    const ReadOnlyFolder readOnly(programDir.path());
    if (!readOnly.refusesFiles())
        GTEST_SKIP() << "no folder can be made read-only here";

    // The first run starts from the installed file; later runs from their own.
    QString previous = QStringLiteral("rien");
    for (const QString& cubase : {QStringLiteral("C:\\Cubase\\Cubasesx.exe"), QStringLiteral("D:\\Cubase.exe")}) {
        start();
        EXPECT_EQ(CubasePath, previous);
        EXPECT_EQ(Form1->ComboBox1->Items(), QStringList{"/a/"});
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 0);
        EXPECT_TRUE(prompts.shown.empty());
        CubasePath = cubase;
        EXPECT_TRUE(requestClose());
        EXPECT_EQ(readFile(userSettingsPath()), crlf({cp1252(cubase), "0", "/a/", "SIG", "A", "EOF", ""}));
        stop();
        previous = cubase;
    }
    EXPECT_EQ(readFile(settingsPath()), installed);

    // With no file to start from, the initial state; the first close writes the user's file.
    program::overrideProgramFolder(folderText(settingsPath()));
    QFile::remove(userSettingsPath());
    start();
    EXPECT_EQ(CubasePath, "rien");
    EXPECT_EQ(Form1->ComboBox1->count(), 0);
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(readFile(userSettingsPath()), kInitial);
}

}  // namespace
}  // namespace orvasel::testing
