#pragma once
// The main window: the project list, the note editor, the bookmarks and the buttons.
// It holds its controls and its handlers; the state it works on lives in state.h.
#include "platform/background_writes.h"
#include "platform/combo_box.h"
#include "platform/directory_list_box.h"
#include "platform/disk_watch.h"
#include "platform/drive_combo_box.h"
#include "platform/label.h"
#include "platform/list_box.h"
#include "platform/memo.h"
#include "platform/open_dialog.h"
#include "storage/settings_file.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace orvasel::drafts {
struct Found;
}

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Builds the controls and, at the end of the creation, runs FormCreate.
    TForm1();

    // Controls, in tab order.
    orvasel::ListBox* ListBox2;
    orvasel::Memo* Memo1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QGroupBox* GroupBox1;
    orvasel::ComboBox* ComboBox1;
    QPushButton* Button5;
    QPushButton* Button6;
    orvasel::ComboBox* ComboBox2;
    QPushButton* Button7;
    orvasel::DriveComboBox* DriveComboBox1;
    orvasel::DirectoryListBox* DirectoryListBox1;
    QLineEdit* Edit1;
    QPushButton* Button8;
    QPushButton* Button9;
    // Outside the tab order.
    QLabel* Image1;
    orvasel::Label* Label3;
    orvasel::Label* Label1;
    orvasel::Label* Label2;
    orvasel::OpenDialog OpenDialog1;
    orvasel::OpenDialog OpenDialog2;
    // Tells when the listed folder or the shown note changes on disk.
    orvasel::DiskWatch DiskWatch1;
    // While the note is unsaved: a moment after a change, its draft is written, away from the window.
    QTimer DraftTimer1;
    orvasel::BackgroundWrites DraftWrites1;

    // Settings and closing.
    void FormCreate(QObject* Sender);
    void FormCloseQuery(QObject* Sender, bool& CanClose);
    void LoadSettings();
    // mayAsk: whether a question may be shown (not at the end of a session that allows none).
    void SaveSettings(bool mayAsk = true);
    // The user's session ends (log off, shutdown): the draft of an unsaved note is written at once
    // and, where the session lets the program ask, the close question is asked; false when the user
    // chose to stay, which cancels the shutdown. The settings are written as at a close.
    bool FormSessionEnd(bool mayAsk);

    // Folder navigation and the project list.
    void DriveComboBox1Change(QObject* Sender);
    void DirectoryListBox1Change(QObject* Sender);
    void ComboBox1Change(QObject* Sender);
    void Button3Click(QObject* Sender);
    // The listed folder changed on disk: the list follows it, the note and its state untouched.
    void DiskWatch1FolderChange(QObject* Sender);

    // The note editor and the exported-audio field.
    void ListBox2Click(QObject* Sender);
    void Button2Click(QObject* Sender);
    void Memo1Enter(QObject* Sender);
    void Memo1KeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
    void Memo1KeyUp(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
    void Memo1Change(QObject* Sender);
    // The shown note's file changed on disk: a note not being edited follows it.
    void DiskWatch1FileChange(QObject* Sender);
    void Edit1Change(QObject* Sender);
    void Button8Click(QObject* Sender);

    // Drafts of the unsaved note.
    void DraftTimer1Timer(QObject* Sender);
    // Writes the draft now (on the drafts' own thread); the wait for it to be on the disk.
    void KeepDraft();
    bool FinishDrafts(int withinMs);
    // At start: the drafts left by a run that did not end well, offered back one by one.
    void OfferDraftsLeft();

    // Bookmarks.
    void Button5Click(QObject* Sender);
    void Button6Click(QObject* Sender);
    void ComboBox2Change(QObject* Sender);

    // Cubase and the audio player.
    void Button4Click(QObject* Sender);
    void Button9Click(QObject* Sender);

    // The about box.
    void Button7Click(QObject* Sender);

    // The search's way in: notes an export found for a project in its information file, the note kept byte for byte; false when not (told over owner).
    bool NoteFoundExport(QWidget* owner, const QString& projectPath, const QString& exportPath);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void bindEvents();
    void setTabOrder();
    // The steps every listing shares; the number of project files found.
    enum class Prompt { Long, Short };
    enum class WhenNothingFound { GoOn, Stop };
    int ListFolder(const QString& folderText, Prompt prompt, WhenNothingFound whenNothingFound);
    int SearchProjects(const QString& folderText);
    QStringList FindProjects(const QString& folderText) const;
    // Shows an information file's note and exported-audio path as loaded, not as a change.
    void ShowInfoFile(const std::string& bytes);
    // Before a save: the letters composed, and characters that code page 1252 does not hold replaced
    // by their equivalents if the user agrees; false when nothing may be saved (told to the user).
    bool MakeStorable(QString& note, QString& exportPath);
    // After a selection: the draft left of this note, offered back.
    void OfferDraft();
    void SetDraftAside(const orvasel::drafts::Found& found);
    // A draft is due: written a moment later, at most once in that moment.
    void DraftSoon();
    // The note saved or given up: its draft goes.
    void ForgetDraft();
    // After a failed settings save: whether the user closes all the same.
    bool CloseAnyway();
    // Shows settings read from the file or merged with it.
    void ShowSettings(const orvasel::settings_file::Settings& settings);
    void EnterUnsavedState();
    void LeaveUnsavedState();
};

extern TForm1* Form1;
