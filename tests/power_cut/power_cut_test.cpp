// The power cut at every moment of a save: a note saved over another version (its conflict copy
// kept), a draft, the settings at close. After every cut each file reads as its old version or its
// new one, never empty, cut or missing; after a save that had finished, as the new one.
#include "power_cut/power_cut_fs.h"
#include "support/window_test.h"

#include "platform/ansi.h"
#include "platform/drafts.h"
#include "platform/program.h"
#include "storage/draft_file.h"
#include "storage/info_file.h"

#include <QDir>
#include <functional>

namespace orvasel::testing {
namespace {

class PowerCutTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        std::string why;
        if (!fs.mount(QFile::encodeName(mountDir.path()).toStdString(), why))
            GTEST_SKIP() << "no power-cut file system here: " << why;
    }

    // Runs the steps once without a cut to count them, then once with a cut after each one: prepare
    // (its own folder on the file system, all on the disk) runs first, check after the power is back,
    // told whether the steps had all been taken before the cut.
    void cutAtEveryStep(const std::function<void(const QString& root)>& prepare, const std::function<void()>& steps,
                        const std::function<void(const QString& root, bool finished)>& check)
    {
        int count = 0;
        for (int cut = 0; cut == 0 || cut <= count; ++cut) {
            SCOPED_TRACE("power cut after step " + std::to_string(cut) + " of " + std::to_string(count));
            const QString root = mountDir.filePath(QString::number(cut));
            ASSERT_TRUE(QDir().mkpath(root + "/program") && QDir().mkpath(root + "/work") && QDir().mkpath(root + "/data"));
            program::overrideProgramFolder(folderText(root + "/program"));
            drafts::overrideFolder(folderText(root + "/data"));
            prepare(root);
            fs.flushEverything();
            fs.cutAfter(cut);
            steps();
            if (cut == 0)
                count = fs.stepsTaken();
            const bool finished = !fs.powerWasCut() || cut == count;
            fs.startAgain();
            check(root, finished);
            stop();
        }
        EXPECT_GT(count, 3);
    }

    QTemporaryDir mountDir;
    PowerCutFileSystem fs;
};

TEST_F(PowerCutTest, ANoteSavedOverAnotherVersionIsOldOrNewAndNeverLosesEither)
{
    const std::string theirs = "leur version\r\nEOF\r\n\r\n";
    std::string mine;
    cutAtEveryStep(
        [&](const QString& root) {
            writeFile(root + "/work/Song.cpr", "cubase");
            writeFile(root + "/work/Song.cpr.info", "v1\r\nEOF\r\n\r\n");
            start();
            openFolder(root + "/work");
            selectProject("Song.cpr");
            typeInNote("ma version ");
            mine = info_file::serialize(*ansi::fromUnicode(Form1->Memo1->Text()), "");
            writeFile(root + "/work/Song.cpr.info", theirs);  // another computer, meanwhile
            prompts.answers = {prompts::Answer::Yes};
        },
        [&] { click(Form1->Button2); },
        [&](const QString& root, bool finished) {
            const std::string note = readFile(root + "/work/Song.cpr.info");
            EXPECT_TRUE(note == theirs || note == mine) << note;
            EXPECT_TRUE(!finished || note == mine) << note;
            // Once this text is in the note, the other version is in its copy.
            const QStringList copies = QDir(root + "/work").entryList({"Song.cpr.info.conflit-*"}, QDir::Files);
            EXPECT_TRUE(note != mine || (copies.size() == 1 && readFile(root + "/work/" + copies[0]) == theirs));
        });
}

TEST_F(PowerCutTest, ADraftAndTheSettingsAreOldOrNew)
{
    // The draft of a note being typed.
    cutAtEveryStep(
        [&](const QString& root) {
            writeFile(root + "/work/Song.cpr", "cubase");
            start();
            openFolder(root + "/work");
            selectProject("Song.cpr");
            typeInNote("premier jet");
            Form1->KeepDraft();
            ASSERT_TRUE(Form1->FinishDrafts(5000));
            typeInNote(", et la suite");
        },
        [&] {
            Form1->KeepDraft();
            EXPECT_TRUE(Form1->FinishDrafts(5000));
        },
        [&](const QString& root, bool finished) {
            const QStringList files = QDir(root + "/data").entryList({"*.brouillon"}, QDir::Files);
            ASSERT_EQ(files.size(), 1);
            const auto draft = draft_file::parse(readFile(root + "/data/" + files[0]));
            ASSERT_TRUE(draft.has_value());
            EXPECT_TRUE(draft->note == "premier jet, et la suite" || (!finished && draft->note == "premier jet"))
                << draft->note;
        });

    // The settings at close, merged with what another copy wrote.
    const std::string before = "rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n";
    const std::string after = "C:\\Cubasesx.exe\r\n-1\r\nSIG\r\nEOF\r\n\r\n";
    cutAtEveryStep(
        [&](const QString& root) {
            writeFile(root + "/program/Orvasel.you", before);
            start();
            CubasePath = "C:\\Cubasesx.exe";
            prompts.answers = {prompts::Answer::Cancel};  // a failed save: stay
        },
        [&] { requestClose(); },
        [&](const QString& root, bool finished) {
            const std::string settings = readFile(root + "/program/Orvasel.you");
            EXPECT_TRUE(settings == before || settings == after) << settings;
            EXPECT_TRUE(!finished || settings == after) << settings;
        });
}

}  // namespace
}  // namespace orvasel::testing
