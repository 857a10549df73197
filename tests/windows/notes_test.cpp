// The note editor and the exported-audio field: loading, change tracking, saving, and the
// failures that must never cost the user a note.
#include "support/window_test.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <optional>
#include <unistd.h>

namespace orvasel::testing {
namespace {

const std::string kMix3 = "Mix 3\r\r\nTempo 120\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n";

// Root passes every permission check: a read-only file or folder stops only another user.
class AsAnotherUser {
public:
    AsAnotherUser() : wasRoot_(::geteuid() == 0) { dropped_ = !wasRoot_ || ::seteuid(65534) == 0; }
    ~AsAnotherUser()
    {
        if (wasRoot_ && dropped_) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }
    bool dropped() const { return dropped_; }

private:
    bool wasRoot_;
    bool dropped_;
};

class NotesTest : public WindowTest {
protected:
    // Starts in a listed folder of projects; each given note bytes gets its information file.
    void startWith(std::initializer_list<std::pair<QString, std::optional<std::string>>> projects)
    {
        folder = makeFolder("Projets");
        for (const auto& [name, note] : projects) {
            writeFile(folder + "/" + name, "cubase");
            if (note)
                writeFile(info(name), *note);
        }
        start();
        openFolder(folder);
    }
    QString info(const QString& project) const { return folder + "/" + project + ".info"; }
    // A listing drops the selection: selecting again reads the file anew.
    void reload(const QString& project)
    {
        click(Form1->Button3);
        selectProject(project);
    }
    // A key that changes nothing, released in the editor.
    static void releaseKey() { QTest::keyClick(Form1->Memo1, Qt::Key_Shift); }
    static bool unsaved() { return Form1->Button2->isEnabled(); }

    QString folder;
};

TEST_F(NotesTest, AProjectWithoutNoteGetsTheMarkerFile)
{
    startWith({{"Song.cpr", std::nullopt}});
    // The listed project file itself is never opened here.
    ASSERT_TRUE(QFile::remove(folder + "/Song.cpr"));
    Form1->Edit1->setText("avant.wav");
    selectProject("Song.cpr");

    EXPECT_EQ(readFile(info("Song.cpr")), "EOF\r\n");
    EXPECT_EQ(CurrentProjectPath, folderText(folder) + "Song.cpr");
    EXPECT_EQ(CurrentInfoPath, folderText(folder) + "Song.cpr.info");
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_FALSE(Form1->Memo1->isReadOnly());
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    EXPECT_FALSE(unsaved());
    EXPECT_TRUE(Form1->Button4->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Form1->ListBox2);
    EXPECT_FALSE(exists(folder + "/Song.cpr"));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(NotesTest, ANoteThatCannotBeCreatedEndsTheSelection)
{
    startWith({{"Autre.cpr", kMix3}, {"Song.cpr", std::nullopt}});
    // A link to nowhere: nothing to read, and no new file may take its place.
    ASSERT_TRUE(QFile::link(workDir.filePath("nulle-part/x"), info("Song.cpr")));
    selectProject("Song.cpr");
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    EXPECT_FALSE(Form1->Button4->isEnabled());
    EXPECT_FALSE(exists(workDir.filePath("nulle-part")));
    EXPECT_TRUE(prompts.shown.empty());

    // After a note was loaded, the failed selection takes the editor back from it.
    selectProject("Autre.cpr");
    ASSERT_FALSE(Form1->Memo1->isReadOnly());
    selectProject("Song.cpr");
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    Form1->Edit1->setText("tapé.wav");
    EXPECT_FALSE(unsaved());
    EXPECT_TRUE(QFileInfo(info("Song.cpr")).isSymLink());
}

TEST_F(NotesTest, ASavedNoteReloadsToAFixedPoint)
{
    startWith({{"Song.cpr", kMix3}});
    selectProject("Song.cpr");
    EXPECT_EQ(Form1->Memo1->Text(), "Mix 3\r\nTempo 120\r\n");
    EXPECT_EQ(Form1->Edit1->text(), "C:\\Audio\\mix3.wav");
    EXPECT_EQ(QApplication::focusWidget(), Form1->Memo1);
    EXPECT_EQ(NotesSnapshot, Form1->Memo1->Text());
    EXPECT_FALSE(unsaved());

    // Typed back to what it was, the note stays unsaved.
    typeInNote("x");
    QTest::keyClick(Form1->Memo1, Qt::Key_Backspace);
    ASSERT_TRUE(unsaved());
    click(Form1->Button2);
    const std::string saved = "Mix 3\r\r\nTempo 120\r\r\n\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n";
    EXPECT_EQ(readFile(info("Song.cpr")), saved);
    EXPECT_FALSE(unsaved());

    reload("Song.cpr");
    EXPECT_EQ(Form1->Memo1->Text(), "Mix 3\r\nTempo 120\r\n");
    typeInNote("x");
    QTest::keyClick(Form1->Memo1, Qt::Key_Backspace);
    click(Form1->Button2);
    EXPECT_EQ(readFile(info("Song.cpr")), saved);
}

TEST_F(NotesTest, BlankLinesAndCodePage1252TextSurviveAReload)
{
    startWith({{"Song.cpr", std::nullopt}});
    selectProject("Song.cpr");
    Form1->Memo1->setFocus();
    Form1->Memo1->insertPlainText("Intro\n\nCafé € fin");
    releaseKey();
    Form1->Edit1->setText("/audio/Été.wav");
    click(Form1->Button2);
    EXPECT_EQ(readFile(info("Song.cpr")), "Intro\r\r\n\r\r\nCaf\xE9 \x80 fin\r\nEOF\r\n/audio/\xC9t\xE9.wav\r\n");

    reload("Song.cpr");
    EXPECT_EQ(Form1->Memo1->Text(), "Intro\r\n\r\nCafé € fin\r\n");
    EXPECT_EQ(Form1->Edit1->text(), "/audio/Été.wav");
}

TEST_F(NotesTest, AnUnsavedNoteLocksNavigationUntilSaved)
{
    startWith({{"Song.cpr", kMix3}});
    selectProject("Song.cpr");
    Form1->Button3->setEnabled(false);
    // A paste with the mouse counts at the next key release in the editor.
    Form1->Memo1->insertPlainText("collé ");
    EXPECT_FALSE(unsaved());
    releaseKey();
    ASSERT_TRUE(unsaved());

    for (QWidget* locked : {static_cast<QWidget*>(Form1->ListBox2), static_cast<QWidget*>(Form1->Button5),
                            static_cast<QWidget*>(Form1->Button6), static_cast<QWidget*>(Form1->DirectoryListBox1),
                            static_cast<QWidget*>(Form1->DriveComboBox1), static_cast<QWidget*>(Form1->Button3),
                            static_cast<QWidget*>(Form1->ComboBox2)})
        EXPECT_FALSE(locked->isEnabled()) << locked->accessibleName().toStdString();
    for (QWidget* free : {static_cast<QWidget*>(Form1->Memo1), static_cast<QWidget*>(Form1->Edit1),
                          static_cast<QWidget*>(Form1->Button4), static_cast<QWidget*>(Form1->Button7),
                          static_cast<QWidget*>(Form1->Button8), static_cast<QWidget*>(Form1->Button9)})
        EXPECT_TRUE(free->isEnabled()) << free->accessibleName().toStdString();

    click(Form1->Button2);
    EXPECT_FALSE(unsaved());
    EXPECT_TRUE(Form1->ListBox2->isEnabled());
    EXPECT_TRUE(Form1->Button3->isEnabled());
    EXPECT_TRUE(Form1->ComboBox2->isEnabled());
    EXPECT_TRUE(Form1->DirectoryListBox1->isEnabled());
    EXPECT_EQ(readFile(info("Song.cpr")).substr(0, 8), "coll\xE9 Mi");
}

TEST_F(NotesTest, NoChangeCountsWhileTheEditorShowsNoNote)
{
    startWith({{"Song.cpr", kMix3}, {"Vide.cpr", std::nullopt}});
    const QString prompt = Form1->Memo1->Text();
    typeInNote("abc");
    EXPECT_EQ(Form1->Memo1->Text(), prompt);
    prompts.files.push_back(QString("/audio/choisi.wav"));
    click(Form1->Button8);
    EXPECT_EQ(Form1->Edit1->text(), "/audio/choisi.wav");
    EXPECT_FALSE(unsaved());

    // Loading never counts, whatever the field held.
    selectProject("Song.cpr");
    EXPECT_EQ(Form1->Edit1->text(), "C:\\Audio\\mix3.wav");
    EXPECT_FALSE(unsaved());

    // After a listing the prompt belongs to no project: neither it nor the field can be saved
    // over the last project's note, even when the listing leaves the focus in the editor.
    Form1->Button3Click(Form1);
    releaseKey();
    EXPECT_FALSE(unsaved());
    click(Form1->Button3);
    typeInNote("abc");
    QTest::keyClicks(Form1->Edit1, "x");
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(readFile(info("Song.cpr")), kMix3);

    selectProject("Vide.cpr");
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    EXPECT_FALSE(unsaved());
    QTest::keyClicks(Form1->Edit1, "m");
    EXPECT_TRUE(unsaved());
}

TEST_F(NotesTest, TheAudioDialogCountsOnlyARealChange)
{
    startWith({{"Song.cpr", std::nullopt}});
    selectProject("Song.cpr");
    click(Form1->Button8);  // cancelled
    const auto dialogs = prompts.ofKind(Shown::Kind::OpenFile);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, "Export Audio du projet en cours");
    EXPECT_EQ(dialogs[0].text, "Audio (*.wav,*.ogg,*.mp3) |*.wav;*.ogg;*.mp3");
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    EXPECT_FALSE(unsaved());

    prompts.files = {QString("/audio/mix.ogg"), QString("/audio/mix.ogg")};
    click(Form1->Button8);
    ASSERT_TRUE(unsaved());
    click(Form1->Button2);
    // The same file again changes nothing.
    click(Form1->Button8);
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(readFile(info("Song.cpr")), "\r\nEOF\r\n/audio/mix.ogg\r\n");

    Form1->Edit1->clear();
    ASSERT_TRUE(unsaved());
    click(Form1->Button2);
    EXPECT_EQ(readFile(info("Song.cpr")), "\r\nEOF\r\n\r\n");
    reload("Song.cpr");
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
}

TEST_F(NotesTest, AnUnreadableNoteIsReportedAndLeftAsItIs)
{
    startWith({{"Autre.cpr", kMix3}, {"Song.cpr", std::nullopt}});
    ASSERT_TRUE(QDir(folder).mkdir("Song.cpr.info"));
    writeFile(info("Song.cpr") + "/garde", "x");
    selectProject("Autre.cpr");
    selectProject("Song.cpr");

    const auto messages = prompts.ofKind(Shown::Kind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Impossible de lire la note de ce projet : " + CurrentInfoPath + " ("));
    EXPECT_TRUE(messages[0].text.endsWith("). Le fichier n'a pas été modifié."));
    EXPECT_TRUE(Form1->Memo1->Text().isEmpty());
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    typeInNote("abc");
    QTest::keyClicks(Form1->Edit1, "x");
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(readFile(info("Song.cpr") + "/garde"), "x");
}

TEST_F(NotesTest, AnUnreadableNoteFileKeepsItsBytes)
{
    startWith({{"Song.cpr", kMix3}});
    ASSERT_TRUE(QFile::setPermissions(workDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(info("Song.cpr"), {}));
    {
        AsAnotherUser user;
        if (!user.dropped())
            GTEST_SKIP() << "cannot leave the root account here";
        selectProject("Song.cpr");
    }
    ASSERT_EQ(prompts.ofKind(Shown::Kind::Message).size(), 1u);
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    EXPECT_EQ(readFile(info("Song.cpr")), kMix3);
}

TEST_F(NotesTest, AFailedSaveKeepsTheFormerNoteAndStaysUnsaved)
{
    startWith({{"Song.cpr", kMix3}});
    selectProject("Song.cpr");
    typeInNote("Nouveau ");
    ASSERT_TRUE(unsaved());

    ASSERT_TRUE(QFile::setPermissions(workDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther));
    {
        AsAnotherUser user;
        if (!user.dropped())
            GTEST_SKIP() << "cannot leave the root account here";
        click(Form1->Button2);
    }
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner));
    const auto messages = prompts.ofKind(Shown::Kind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Erreur à l'écriture de votre fichier d'information");
    EXPECT_EQ(readFile(info("Song.cpr")), kMix3);
    EXPECT_TRUE(unsaved());
    EXPECT_FALSE(Form1->ListBox2->isEnabled());

    // The user can try again.
    click(Form1->Button2);
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(readFile(info("Song.cpr")), "Nouveau Mix 3\r\r\nTempo 120\r\r\n\r\nEOF\r\nC:\\Audio\\mix3.wav\r\n");
}

TEST_F(NotesTest, ASaveOverAFolderFailsAndLeavesNoTrace)
{
    startWith({{"Song.cpr", kMix3}});
    selectProject("Song.cpr");
    typeInNote("Nouveau ");
    ASSERT_TRUE(QFile::remove(info("Song.cpr")));
    ASSERT_TRUE(QDir(folder).mkdir("Song.cpr.info"));
    click(Form1->Button2);
    const auto messages = prompts.ofKind(Shown::Kind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Erreur à l'écriture de votre fichier d'information");
    EXPECT_TRUE(unsaved());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"Song.cpr", "Song.cpr.info"}));
    EXPECT_TRUE(QFileInfo(info("Song.cpr")).isDir());
}

TEST_F(NotesTest, TextThatCodePage1252CannotHoldIsNeverWritten)
{
    startWith({{"Song.cpr", kMix3}});
    selectProject("Song.cpr");
    Form1->Memo1->insertPlainText("Sourire ☺ → ");
    releaseKey();
    Form1->Edit1->setText("/audio/♪☺.wav");
    click(Form1->Button2);
    const auto messages = prompts.ofKind(Shown::Kind::Message);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains("☺→♪")) << messages[0].text.toStdString();
    EXPECT_EQ(readFile(info("Song.cpr")), kMix3);
    EXPECT_TRUE(unsaved());

    Form1->Memo1->SetText("Sourire");
    Form1->Edit1->setText("/audio/é.wav");
    click(Form1->Button2);
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(readFile(info("Song.cpr")), "Sourire\r\nEOF\r\n/audio/\xE9.wav\r\n");
}

}  // namespace
}  // namespace orvasel::testing
