// What changes the note, and what changes the files under the window: every change of the text
// counts, whatever made it; a save never replaces unseen what someone else wrote; the list and the
// note shown follow the disk.
#include "support/window_test.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QTest>
#include <algorithm>
#include <functional>
#include <utility>

namespace orvasel::testing {
namespace {

class DiskChangesTest : public WindowTest {
protected:
    QString path(const QString& name) const { return folder + "/" + name; }
    std::vector<Shown> shownOf(Shown::Kind kind) const { return prompts.ofKind(kind); }
    // Waits for the window to see a change on disk; false when it did not within the time.
    static bool waitFor(const std::function<bool()>& seen) { return QTest::qWaitFor(seen, 5000); }

    QString folder = makeFolder("Projets");
};

TEST_F(DiskChangesTest, EveryChangeOfTheNoteOrTheFieldCountsWhateverMadeIt)
{
    writeFile(path("Song.cpr"), "cubase");
    writeFile(path("Song.cpr.info"), "Mix 3\r\nEOF\r\nC:\\mix3.wav\r\n");
    start();
    openFolder(folder);
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"a drop into the note", [] { dropText(Form1->Memo1->viewport(), "Basse "); }},
        {"a cut by the note's menu", [] { Form1->Memo1->selectAll(); triggerMenuAction(Form1->Memo1, QKeySequence::Cut); }},
        {"an input method", [] {
             QInputMethodEvent composed({}, {});
             composed.setCommitString("é");
             QApplication::sendEvent(Form1->Memo1, &composed);
         }},
        {"an undo by the note's menu, past a save", [] {
             Form1->Memo1->insertPlainText("x");
             Form1->Button2Click(Form1->Button2);
             triggerMenuAction(Form1->Memo1, QKeySequence::Undo);
         }},
        {"a drop into the field", [] { dropText(Form1->Edit1, "D:\\autre.wav"); }},
        {"a paste by the field's menu", [] {
             QApplication::clipboard()->setText("E:\\mix.wav");
             triggerMenuAction(Form1->Edit1, QKeySequence::Paste);
         }},
    };
    for (const auto& [what, change] : ways) {
        SCOPED_TRACE(what);
        Form1->ListBox2->SetItemIndex(-1);
        selectProject("Song.cpr");
        ASSERT_FALSE(Form1->Button2->isEnabled());  // loading never counts
        change();
        EXPECT_TRUE(Form1->Button2->isEnabled() && !Form1->ListBox2->isEnabled());
        click(Form1->Button2);
    }
}

TEST_F(DiskChangesTest, ASaveOverAnOutsideChangeAsksAndLosesNeitherText)
{
    writeFile(path("Song.cpr"), "cubase");
    writeFile(path("Song.cpr.info"), "v1\r\nEOF\r\n\r\n");
    start();
    openFolder(folder);
    selectProject("Song.cpr");
    const std::string theirs = "autre ordinateur\r\nEOF\r\nC:\\leur.wav\r\n";
    const std::string mine = "v1\r\r\nmoi\r\nEOF\r\n\r\n";
    const auto conflictCopies = [&] {
        return QDir(folder).entryList({"Song.cpr.info.conflit-*"}, QDir::Files, QDir::Name);
    };
    // Written elsewhere while the note is shown, then edited here and saved.
    const auto typeAtTheEnd = [this](const QString& text) {
        Form1->Memo1->moveCursor(QTextCursor::End);
        typeInNote(text);
    };
    const auto editOverOutsideChange = [&](const std::string& outside) {
        Form1->Memo1->SetText("v1\r\n");
        typeAtTheEnd("moi");
        writeFile(path("Song.cpr.info"), outside);
        prompts.shown.clear();
        click(Form1->Button2);
    };

    // Cancel: nothing written, the text stays, unsaved.
    editOverOutsideChange(theirs);
    const auto asked = shownOf(Shown::Kind::Confirmation);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].text.contains("« Song.cpr »") && asked[0].choice == prompts::Choice::YesNoCancel);
    EXPECT_EQ(readFile(path("Song.cpr.info")), theirs);
    EXPECT_TRUE(Form1->Button2->isEnabled() && conflictCopies().isEmpty());

    // Yes: this text saved, the other kept beside it.
    prompts.answers = {prompts::Answer::Yes};
    click(Form1->Button2);
    EXPECT_EQ(readFile(path("Song.cpr.info")), mine);
    ASSERT_EQ(conflictCopies().size(), 1);
    EXPECT_EQ(readFile(path(conflictCopies()[0])), theirs);
    EXPECT_TRUE(shownOf(Shown::Kind::Message).back().text.contains(conflictCopies()[0]));
    EXPECT_FALSE(Form1->Button2->isEnabled());

    // No: the other shown, this text kept beside it, in a copy of its own.
    const std::string second = "encore\r\nEOF\r\n\r\n";
    prompts.answers = {prompts::Answer::No};
    editOverOutsideChange(second);
    EXPECT_EQ(readFile(path("Song.cpr.info")), second);
    EXPECT_EQ(Form1->Memo1->Text(), "encore\r\n");
    EXPECT_FALSE(Form1->Button2->isEnabled());
    ASSERT_EQ(conflictCopies().size(), 2);
    const QString mineKept = shownOf(Shown::Kind::Message).back().text.section("« ", 1).section(" »", 0, 0);
    EXPECT_EQ(readFile(path(mineKept)), mine);

    // A file deleted meanwhile is simply written again.
    ASSERT_TRUE(QFile::remove(path("Song.cpr.info")));
    typeAtTheEnd("!");
    prompts.shown.clear();
    click(Form1->Button2);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(readFile(path("Song.cpr.info")), "encore\r\r\n!\r\nEOF\r\n\r\n");

    // A third version arrives while the question is open: it meets another question, and is kept too.
    const std::string other = "ailleurs\r\nEOF\r\n\r\n", third = "troisième\r\nEOF\r\n\r\n";
    writeFile(path("Song.cpr.info"), other);
    typeAtTheEnd("?");
    prompts.shown.clear();
    prompts.answers = {prompts::Answer::Yes, prompts::Answer::Yes};
    prompts.whileShown = [&, arrived = false]() mutable {
        if (!std::exchange(arrived, true))
            writeFile(path("Song.cpr.info"), third);
    };
    const QStringList before = conflictCopies();
    click(Form1->Button2);
    prompts.whileShown = nullptr;
    EXPECT_EQ(shownOf(Shown::Kind::Confirmation).size(), 2u);
    EXPECT_EQ(readFile(path("Song.cpr.info")), "encore\r\r\n!?\r\nEOF\r\n\r\n");
    std::vector<std::string> kept;
    for (const QString& copy : conflictCopies())
        if (!before.contains(copy))
            kept.push_back(readFile(path(copy)));
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{other, third}));
}

TEST_F(DiskChangesTest, TheListAndTheNoteShownFollowTheDiskWithoutLosingAnEdit)
{
    for (const char* name : {"a.cpr", "b.cpr"})
        writeFile(path(name), "cubase");
    writeFile(path("b.cpr.info"), "note b\r\nEOF\r\n\r\n");
    const QString elsewhere = makeFolder("Ailleurs");
    start();
    openFolder(folder);
    selectProject("b.cpr");

    // A note not being edited follows its file, and still counts as saved.
    writeFile(path("b.cpr.info"), "note b, revue ailleurs\r\nEOF\r\nC:\\b.wav\r\n");
    EXPECT_TRUE(waitFor([] { return Form1->Memo1->Text() == "note b, revue ailleurs\r\n"; }));
    EXPECT_EQ(Form1->Edit1->text(), "C:\\b.wav");
    EXPECT_FALSE(Form1->Button2->isEnabled());

    // Projects come and go while the note is edited: the list follows, the selection, the text and
    // its unsaved state stay; a change of the note's file waits for the save.
    typeInNote(" et ici");
    const QString edited = Form1->Memo1->Text();
    writeFile(path("b.cpr.info"), "troisième version\r\nEOF\r\n\r\n");
    writeFile(path("c.cpr"), "cubase");
    ASSERT_TRUE(QFile::rename(path("a.cpr"), path("d.cpr")));
    EXPECT_TRUE(waitFor([] { return Form1->ListBox2->Items() == QStringList({"b.cpr", "c.cpr", "d.cpr"}); }));
    EXPECT_EQ(Form1->ListBox2->SelectedText(), "b.cpr");
    writeFile(path("e.cpr"), "cubase");  // a second change, told after the first has been
    EXPECT_TRUE(waitFor([] { return Form1->ListBox2->count() == 4; }));
    EXPECT_EQ(Form1->Memo1->Text(), edited);
    EXPECT_TRUE(Form1->Button2->isEnabled());

    // The selected project goes: the user is told, the edit stays on screen.
    ASSERT_TRUE(QFile::remove(path("b.cpr")));
    ASSERT_TRUE(waitFor([this] { return !shownOf(Shown::Kind::Message).empty(); }));
    EXPECT_TRUE(shownOf(Shown::Kind::Message)[0].text.startsWith("Le projet « b.cpr » n'est plus dans le dossier"));
    EXPECT_EQ(Form1->ListBox2->Items(), QStringList({"c.cpr", "d.cpr", "e.cpr"}));
    EXPECT_EQ(Form1->Memo1->Text(), edited);
    EXPECT_TRUE(Form1->Button2->isEnabled());

    // A folder listed empty gains a project: it is listed as the folder list lists it.
    prompts.answers = {prompts::Answer::Yes};
    click(Form1->Button2);
    openFolder(elsewhere);
    writeFile(elsewhere + "/neuf.cpr", "cubase");
    EXPECT_TRUE(waitFor([] { return Form1->ListBox2->Items() == QStringList({"neuf.cpr"}); }));
    EXPECT_EQ(CurrentFolder, folderText(elsewhere));
}

}  // namespace
}  // namespace orvasel::testing
