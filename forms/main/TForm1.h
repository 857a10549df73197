#pragma once
// The main window: the project list, the note editor, the bookmarks and the buttons.
// It holds its controls and its handlers; the state it works on lives in state.h.
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
#include <QWidget>

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

    // Settings and closing.
    void FormCreate(QObject* Sender);
    void FormCloseQuery(QObject* Sender, bool& CanClose);
    void LoadSettings();
    void SaveSettings();

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
    // Before a save over a file that changed on disk since it was loaded: asks the user, keeps the
    // text not saved in a copy beside it; true when the editor's text is to be saved.
    bool SaveOverOutsideChange(const std::string& mine, const std::string& theirs);
    // Shows settings read from the file or merged with it.
    void ShowSettings(const orvasel::settings_file::Settings& settings);
    void EnterUnsavedState();
    void LeaveUnsavedState();
};

extern TForm1* Form1;
