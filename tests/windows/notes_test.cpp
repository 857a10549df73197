// The note editor and the exported-audio field: loading, change tracking, saving, and the
// failures that must never cost the user a note.
#include "support/window_test.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace orvasel::testing {
namespace {

class NotesTest : public WindowTest {
protected:
    QString info(const QString& project) const { return folder + "/" + project + ".info"; }
    std::vector<Shown> messages() const { return prompts.ofKind(Shown::Kind::Message); }

    QString folder = makeFolder("Projets");
};

TEST_F(NotesTest, ANoteIsSavedInCodePage1252OnlyOnARealChangeAndNeverReplaced)
{
    for (const char* name : {"Song.cpr", "Lien.cpr", "Vide.cpr"})
        writeFile(folder + "/" + name, "cubase");
    const std::string stored = "Caf\xE9 \x80\r\r\n\r\r\nfin\r\nEOF\r\nC:\\Audio\\\xC9t\xE9.wav\r\n";
    writeFile(info("Song.cpr"), stored);
    start();
    openFolder(folder);
    selectProject("Song.cpr");
    EXPECT_EQ(Form1->Memo1->Text() + "|" + Form1->Edit1->text(), "Café €\r\n\r\nfin\r\n|C:\\Audio\\Été.wav");
    // A paste through the editor's menu counts at once, without any key.
    QApplication::clipboard()->setText("Sourire ☺ → ");
    triggerMenuAction(Form1->Memo1, QKeySequence::Paste);
    ASSERT_TRUE(Form1->Button2->isEnabled());
    // No listing may empty the editor meanwhile: a bookmark's neither.
    EXPECT_FALSE(Form1->ListBox2->isEnabled() || Form1->Button3->isEnabled() || Form1->ComboBox2->isEnabled());
    Form1->Edit1->setText("/audio/♪☺.wav");
    click(Form1->Button2);
    EXPECT_TRUE(messages().at(0).text.contains("stockés dans le fichier d'information : « ☺ » (U+263A), « → » (U+2192), "
                                               "« ♪ » (U+266A).\nLe premier est à la ligne 1, colonne 9 de la note."))
        << messages().at(0).text.toStdString();
    EXPECT_EQ(readFile(info("Song.cpr")), stored);
    Form1->Memo1->SetText("Sourire\r\n\r\nÀ €");
    Form1->Edit1->setText("/audio/Été.wav");
    click(Form1->Button2);
    const std::string saved = "Sourire\r\r\n\r\r\n\xC0 \x80\r\nEOF\r\n/audio/\xC9t\xE9.wav\r\n";
    EXPECT_EQ(readFile(info("Song.cpr")), saved);
    EXPECT_TRUE(Form1->ListBox2->isEnabled() && !Form1->Button2->isEnabled());

#ifdef _WIN32
    // Where no note can be created (a folder holds its name, which is all a Windows user can do to
    // it): the selection says so and takes the editor back from the note loaded before.
    ASSERT_TRUE(QDir().mkdir(info("Lien.cpr")));
#else
    // A note is never created through a link: the failed selection takes the editor back from the
    // note loaded before.
    ASSERT_TRUE(QFile::link(workDir.filePath("nulle-part/x"), info("Lien.cpr")));
#endif
    // Neither does loading count, nor, after a listing, the prompt or the field.
    selectProject("Lien.cpr");
#ifdef _WIN32
    EXPECT_TRUE(QFileInfo(info("Lien.cpr")).isDir());
    EXPECT_TRUE(messages().at(1).text.startsWith("Impossible de lire la note de ce projet"));
#else
    EXPECT_TRUE(QFileInfo(info("Lien.cpr")).isSymLink());
#endif
    EXPECT_EQ(Form1->Memo1->Text() + Form1->Edit1->text(), "");
    QTest::keyClicks(Form1->Edit1, "x");
    selectProject("Song.cpr");
    Form1->Button3Click(Form1);
    typeInNote("abc");
    QTest::keyClicks(Form1->Edit1, "x");
    EXPECT_FALSE(Form1->Button2->isEnabled());

    // A missing note is created as the marker alone, without opening the project file itself.
    ASSERT_TRUE(QFile::remove(folder + "/Vide.cpr"));
    selectProject("Vide.cpr");
    EXPECT_EQ(readFile(info("Vide.cpr")), "EOF\r\n");

    // A note that cannot be read is reported, left read-only and keeps its bytes.
#ifdef _WIN32
    // Held open without sharing by another program, as a backup tool or an editor may hold it.
    const HANDLE held = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(info("Song.cpr")).utf16()),
                                    GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    selectProject("Song.cpr");
    CloseHandle(held);
#else
    ASSERT_TRUE(QFile::setPermissions(workDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(info("Song.cpr"), {}));
    // Root passes every permission check: the program runs as another user meanwhile.
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0)
        GTEST_SKIP() << "cannot leave the root account here";
    selectProject("Song.cpr");
    ASSERT_TRUE(!root || ::seteuid(0) == 0);
#endif
    EXPECT_TRUE(!messages().empty() &&
                messages().back().text.startsWith("Impossible de lire la note de ce projet : " + CurrentInfoPath));
    EXPECT_TRUE(Form1->Memo1->isReadOnly());
    EXPECT_EQ(readFile(info("Song.cpr")), saved);
}

TEST_F(NotesTest, AwkwardNotesAreSavedAsTheyReadBackOrNamedPreciselyAndAProtectedFileIsLeftAlone)
{
    writeFile(folder + "/Song.cpr", "cubase");
    writeFile(info("Song.cpr"), "EOF\r\n");
    start();
    openFolder(folder);
    struct Case {
        QString note, field;
        std::optional<prompts::Answer> replace;  // the answer to the question, when one is asked
        std::string saved;                       // nothing saved: "" 
        QString reloaded;
    };
    const Case cases[] = {
        // A last line "EOF" keeps itself and the path; inside the note it always did.
        {"Mix\r\nEOF", "C:\\mix.wav", {}, "Mix\r\r\nEOF\r\r\n\r\nEOF\r\nC:\\mix.wav\r\n", "Mix\r\nEOF\r\n"},
        {"EOF\r\ndedans", "", {}, "EOF\r\r\ndedans\r\nEOF\r\n\r\n", "EOF\r\ndedans\r\n"},
        // Pasted from the web: composed silently, the thin no-break space replaced if the user agrees.
        {"Cafe\u0301 \u202F: 3\u2028fin", "", prompts::Answer::Yes, "Caf\xE9 \xA0: 3\r\r\nfin\r\nEOF\r\n\r\n",
         "Café \u00A0: 3\r\nfin\r\n"},
        {"\uFB01n", "D:\\a\u2010b.wav", prompts::Answer::No, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note.toStdString());
        const std::string before = readFile(info("Song.cpr"));
        Form1->ListBox2->SetItemIndex(-1);
        selectProject("Song.cpr");
        Form1->Memo1->setPlainText(c.note);  // as a paste would, counted as a change
        Form1->Edit1->setText(c.field);
        prompts.shown.clear();
        if (c.replace)
            prompts.answers = {*c.replace};
        click(Form1->Button2);
        const auto asked = prompts.ofKind(Shown::Kind::Confirmation);
        EXPECT_EQ(asked.size(), c.replace ? 1u : 0u);
        if (!asked.empty()) {
            EXPECT_TRUE(asked[0].text.endsWith("Remplacer ces caractères par leurs équivalents et enregistrer ?") &&
                        asked[0].text.contains(c.field.isEmpty() ? "espace fine insécable (U+202F)"
                                                                 : "ligature fi (U+FB01), trait d'union (U+2010)"))
                << asked[0].text.toStdString();
        }
        EXPECT_EQ(readFile(info("Song.cpr")), c.saved.empty() ? before : c.saved);
        EXPECT_EQ(Form1->Button2->isEnabled(), c.saved.empty());
        if (c.saved.empty())
            continue;
        Form1->ListBox2->SetItemIndex(-1);
        selectProject("Song.cpr");
        EXPECT_EQ(Form1->Memo1->Text() + "|" + Form1->Edit1->text(), c.reloaded + "|" + c.field);
    }

    // Marked read-only, or a folder put in its place: the specified message, then why; nothing written.
    const std::string kept = readFile(info("Song.cpr"));
    ASSERT_TRUE(QFile::setPermissions(info("Song.cpr"), QFileDevice::ReadOwner | QFileDevice::ReadOther));
    Form1->Memo1->setPlainText("protégé");
    Form1->Edit1->clear();
    click(Form1->Button2);
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back().text, "Erreur à l'écriture de votre fichier d'information\nLe fichier est en lecture seule.");
    EXPECT_EQ(readFile(info("Song.cpr")), kept);
    ASSERT_TRUE(QFile::setPermissions(info("Song.cpr"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    ASSERT_TRUE(QFile::remove(info("Song.cpr")) && QDir().mkdir(info("Song.cpr")));
    click(Form1->Button2);
    EXPECT_EQ(messages().back().text, "Erreur à l'écriture de votre fichier d'information\nUn dossier porte ce nom.");
    EXPECT_TRUE(Form1->Button2->isEnabled());
}

}  // namespace
}  // namespace orvasel::testing
