#pragma once
// Stand-ins for the user and the shell: scripted answers, and a record of what was shown or started.
#include "platform/prompts.h"
#include "platform/shell.h"

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <tuple>
#include <vector>

namespace orvasel::testing {

struct Shown {
    enum class Kind { Message, Confirmation, OpenFile, SaveFile, FolderChoice, Error } kind;
    QString title;
    QString text;    // message or question; for a file dialog, its filter; for a folder chooser, its start
    prompts::Choice choice = prompts::Choice::OkCancel;
};

class ScriptedPrompts final : public prompts::Prompts {
public:
    // Answers for the next confirmations and file dialogs (open and save alike), in order.
    // Unscripted confirmations answer Cancel/No, unscripted file dialogs are cancelled.
    std::deque<prompts::Answer> answers;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<QString>> folders;  // unscripted folder choosers are cancelled
    std::vector<Shown> shown;
    // Runs while a box is shown, as if the user acted meanwhile (e.g. checks a state).
    std::function<void()> whileShown;

    void showMessage(QWidget*, const prompts::Message& message) override;
    prompts::Answer confirm(QWidget*, const prompts::Confirmation& confirmation) override;
    std::optional<QString> openFile(QWidget*, const prompts::FileRequest& request) override;
    std::optional<QString> saveFile(QWidget*, const prompts::FileRequest& request) override;
    std::optional<QString> chooseFolder(QWidget*, const QString& title, const QString& start) override;
    void showError(const prompts::Message& message) override;

    std::vector<Shown> ofKind(Shown::Kind kind) const;
};

class RecordingShell final : public shell::Shell {
public:
    std::vector<shell::Request> requests;
    void execute(const shell::Request& request) override { requests.push_back(request); }
};

// A request's fields, to compare with what a test expects in one go.
inline auto fields(const shell::Request& r)
{
    return std::tuple(r.owner, r.operation, r.file, r.parameters, r.directory, r.showCommand, r.target);
}

}  // namespace orvasel::testing
