// No word typed is lost to the program's end: the note being edited is kept as a draft, offered
// back at the next selection or start, written at once when the session ends.
#include "support/window_test.h"

#include "platform/drafts.h"
#include "storage/draft_file.h"

#include <QDir>
#include <QProcess>
#include <QSessionManager>
#include <QTest>
#include <random>

namespace orvasel::testing {
namespace {

class DraftsTest : public WindowTest {
protected:
    QString path(const QString& name) const { return folder + "/" + name; }
    QStringList draftFiles() const { return QDir(dataDir.path()).entryList({"*.brouillon"}, QDir::Files); }
    QStringList setAside() const { return QDir(dataDir.path()).entryList({"*.txt"}, QDir::Files); }
    static std::string utf8(const QString& text) { return text.toStdString(); }

    // A draft left by a copy of the program that no longer runs.
    QString leaveDraft(const QString& project, const QString& note, std::optional<std::string> loaded,
                       const QDateTime& when, const QString& inFolder = {},
                       const std::string& exportPath = "C:\\Audio\\brouillon.wav")
    {
        const QString infoPath = folderText(inFolder.isEmpty() ? folder : inFolder) + project + ".info";
        const draft_file::Draft draft{utf8(infoPath), utf8(note), exportPath, std::move(loaded),
                                      when.toMSecsSinceEpoch(), "copie-disparue"};
        const QString file = drafts::fileFor(infoPath).replace(QString::fromStdString(drafts::session()), "copie-disparue");
        writeFile(file, draft_file::serialize(draft));
        return file;
    }
    std::vector<Shown> asked() const { return prompts.ofKind(Shown::Kind::Confirmation); }

    QString folder = makeFolder("Projets");
    const std::string v1 = "v1\r\nEOF\r\n\r\n";
    const QDateTime when{QDate(2026, 12, 8), QTime(14, 3)};
};

TEST_F(DraftsTest, ANoteBeingTypedIsKeptAsADraftUntilItIsSaved)
{
    writeFile(path("Song.cpr"), "cubase");
    writeFile(path("Song.cpr.info"), v1);
    start();
    openFolder(folder);
    selectProject("Song.cpr");
    typeInNote("Basse ");
    Form1->Memo1->insertPlainText("☺ ");  // a draft keeps even what the note file cannot hold
    ASSERT_TRUE(QTest::qWaitFor([this] { return draftFiles().size() == 1; }, 5000));
    ASSERT_TRUE(Form1->FinishDrafts(5000));
    const auto draft = draft_file::parse(readFile(dataDir.filePath(draftFiles()[0])));
    ASSERT_TRUE(draft.has_value());
    EXPECT_EQ(QString::fromStdString(draft->note), "Basse ☺ v1\r\n");
    EXPECT_EQ(draft->loadedBytes, v1);
    EXPECT_EQ(QString::fromStdString(draft->infoPath), CurrentInfoPath);

    Form1->Memo1->SetText("Basse");
    click(Form1->Button2);
    EXPECT_TRUE(QTest::qWaitFor([this] { return draftFiles().isEmpty(); }, 5000));
}

TEST_F(DraftsTest, ADraftLeftBehindIsOfferedWhenItsProjectIsSelected)
{
    writeFile(path("Song.cpr"), "cubase");
    writeFile(path("Song.cpr.info"), v1);
    start();
    openFolder(folder);

    // Declined: kept aside as a text file the user is told of.
    leaveDraft("Song.cpr", "refusé\r\n", v1, when);
    selectProject("Song.cpr");
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, "Une note non enregistrée de « Song.cpr » (8 décembre 2026 à 14:03) a été retrouvée. "
                               "La reprendre ?");
    ASSERT_EQ(setAside().size(), 1);
    EXPECT_TRUE(prompts.ofKind(Shown::Kind::Message).back().text.contains(setAside()[0]));
    EXPECT_NE(readFile(dataDir.filePath(setAside()[0])).find("refusé\r\n"), std::string::npos);
    EXPECT_TRUE(draftFiles().isEmpty());
    EXPECT_FALSE(Form1->Button2->isEnabled());

    // The same as the file (saved before the program ended): nothing asked, the draft goes.
    Form1->ListBox2->SetItemIndex(-1);
    leaveDraft("Song.cpr", "v1\r\n", v1, when, {}, "");
    prompts.shown.clear();
    selectProject("Song.cpr");
    EXPECT_TRUE(asked().empty() && draftFiles().isEmpty());

    // Taken back: shown unsaved, and the save compares the file with what the draft was made from.
    Form1->ListBox2->SetItemIndex(-1);
    leaveDraft("Song.cpr", "repris\r\n", "v0\r\nEOF\r\n\r\n", when);
    prompts.answers = {prompts::Answer::Yes};
    selectProject("Song.cpr");
    EXPECT_EQ(Form1->Memo1->Text() + Form1->Edit1->text(), "repris\r\nC:\\Audio\\brouillon.wav");
    EXPECT_TRUE(Form1->Button2->isEnabled() && !Form1->ListBox2->isEnabled());
    prompts.shown.clear();
    click(Form1->Button2);  // the file holds v1, not the v0 the draft was made from: asked, Cancel
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_TRUE(asked()[0].text.startsWith("La note de « Song.cpr » a été modifiée sur le disque"));
    EXPECT_EQ(readFile(path("Song.cpr.info")), v1);
}

TEST_F(DraftsTest, AtStartTheDraftsLeftAreOfferedTheMostRecentFirst)
{
    const QString other = makeFolder("Autres");
    writeFile(other + "/Chanson.cpr", "cubase");
    writeFile(other + "/Chanson.cpr.info", v1);
    const QString gone = leaveDraft("Perdu.cpr", "sur le disque débranché\r\n", v1, when.addSecs(60),
                                    workDir.filePath("Disque débranché"));
    leaveDraft("Chanson.cpr", "à reprendre\r\n", v1, when, other);
    prompts.answers = {prompts::Answer::Yes, prompts::Answer::Yes};  // kept for later, then taken back
    start();
    ASSERT_EQ(asked().size(), 2u);
    EXPECT_TRUE(asked()[0].text.contains("Perdu.cpr » (8 décembre 2026 à 14:04) a été retrouvée, mais ce projet "
                                         "est introuvable"));
    EXPECT_TRUE(asked()[1].text.contains("« Chanson.cpr »"));
    EXPECT_TRUE(exists(gone));
    EXPECT_EQ(CurrentInfoPath, folderText(other) + "Chanson.cpr.info");
    EXPECT_EQ(Form1->Memo1->Text(), "à reprendre\r\n");
    EXPECT_TRUE(Form1->Button2->isEnabled());
}

TEST_F(DraftsTest, TheSessionsEndKeepsTheDraftAtOnceAndAsksWhereItMay)
{
    writeFile(path("Song.cpr"), "cubase");
    writeFile(path("Song.cpr.info"), v1);
    start();
    openFolder(folder);
    selectProject("Song.cpr");
    typeInNote("fin de session ");
    // Through the application's own signal: the offscreen session lets the program ask nothing.
    auto* session = qApp->findChild<QSessionManager*>();
    ASSERT_NE(session, nullptr);
    emit qApp->commitDataRequest(*session);
    ASSERT_EQ(draftFiles().size(), 1);
    EXPECT_NE(readFile(dataDir.filePath(draftFiles()[0])).find("fin de session v1"), std::string::npos);
    EXPECT_EQ(readFile(settingsPath()), "rien\r\n-1\r\nSIG\r\nEOF\r\n\r\n");
    EXPECT_TRUE(prompts.shown.empty() && Form1->Button2->isEnabled());

    // Where it may ask: Cancel stops the shutdown; OK lets it go on, and the close that follows asks nothing.
    prompts.answers = {prompts::Answer::Cancel, prompts::Answer::Ok};
    EXPECT_FALSE(Form1->FormSessionEnd(true));
    EXPECT_TRUE(Form1->FormSessionEnd(true));
    EXPECT_EQ(asked().size(), 2u);
    EXPECT_EQ(asked()[0].text, "Fermer Orvasel sans enregistrer?");
    EXPECT_TRUE(requestClose());
    EXPECT_EQ(asked().size(), 2u);
}

TEST_F(DraftsTest, KilledWhileTypingTheNextStartOffersEveryWordKept)
{
    writeFile(path("Song.cpr"), "cubase");
    writeFile(path("Song.cpr.info"), v1);
    std::mt19937 random(std::random_device{}());
    for (int kill = 0; kill < 3; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        const QString log = workDir.filePath("typed" + QString::number(kill));
        QProcess typist;
        typist.start(QCoreApplication::applicationFilePath(),
                     {"--type", folderText(programDir.path()), folderText(dataDir.path()), folder, "Song.cpr", log});
        // Killed without warning a moment after some words, often while the next one is typed or kept.
        const int words = 1 + int(random() % 3);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QString::fromLatin1(readFile(log).c_str()).count('\n') >= words; }, 30000))
            << "the typist stopped with " << typist.exitCode();
        QTest::qWait(int(random() % 1200));
        typist.kill();
        ASSERT_TRUE(typist.waitForFinished(20000));
        const QStringList kept = QString::fromLatin1(readFile(log).c_str()).split('\n', Qt::SkipEmptyParts);

        prompts.answers = {prompts::Answer::Yes};
        start();
        openFolder(folder);
        selectProject("Song.cpr");
        for (const QString& word : kept)
            EXPECT_TRUE(Form1->Memo1->Text().contains(word)) << word.toStdString();
        EXPECT_TRUE(Form1->Button2->isEnabled());
        click(Form1->Button2);  // saved: the next run starts from this note
        stop();
    }
}

}  // namespace
}  // namespace orvasel::testing
