#pragma once
// Every message box, confirmation box, file dialog and error box of the program passes
// through here, so that a test can answer in the user's place and see what was shown.
#include <QString>
#include <optional>

class QWidget;

namespace orvasel::prompts {

enum class Answer { Ok, Cancel, Yes, No };
enum class Choice { OkCancel, YesNo, YesNoCancel };

struct Message {
    QString title;
    QString text;
};

struct Confirmation {
    QString title;
    QString text;
    Choice choice = Choice::OkCancel;
};

// An open-file dialog as the program describes it: a title and a filter written as
// "description|pattern;pattern|description|pattern…", with the file name of the previous use.
struct FileRequest {
    QString title;
    QString filter;
    QString fileName;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // A plain message box with an OK button.
    virtual void showMessage(QWidget* owner, const Message& message) = 0;
    // A confirmation box with a question icon; closing it or Escape answers Cancel, or No when
    // there is no Cancel.
    virtual Answer confirm(QWidget* owner, const Confirmation& confirmation) = 0;
    // The full path of the confirmed file, or nothing when the user cancels.
    virtual std::optional<QString> openFile(QWidget* owner, const FileRequest& request) = 0;
    // A save dialog for a new or replaced file, proposing the request's file name; the full path
    // chosen (the replacing of a file there confirmed), or nothing when the user cancels.
    virtual std::optional<QString> saveFile(QWidget* owner, const FileRequest& request) = 0;
    // A folder chooser titled so, opened on the start folder: the chosen folder, or nothing when
    // the user cancels.
    virtual std::optional<QString> chooseFolder(QWidget* owner, const QString& title, const QString& start) = 0;
    // The application's standard error box.
    virtual void showError(const Message& message) = 0;
};

// The boxes in use; the real ones unless a test installed its own.
Prompts& current();
// Installs a replacement (nullptr brings the real boxes back). The caller keeps ownership.
void install(Prompts* replacement);

// The texts the program shows, with the titles the program gives them.
void message(QWidget* owner, const QString& text);                    // titled with the application title
Answer confirm(QWidget* owner, const QString& text, Choice choice);  // titled "Confirmation"
void error(const QString& text);

}  // namespace orvasel::prompts
