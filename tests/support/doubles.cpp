#include "support/doubles.h"

namespace orvasel::testing {

namespace {

// The next scripted file or folder; none (a cancelled dialog) when the script has run out. Swapped
// out rather than copied: GCC sees a copy of an engaged optional as possibly uninitialised.
std::optional<QString> takeNext(std::deque<std::optional<QString>>& script)
{
    std::optional<QString> next;
    if (!script.empty()) {
        next.swap(script.front());
        script.pop_front();
    }
    return next;
}

}  // namespace

void ScriptedPrompts::showMessage(QWidget*, const prompts::Message& message)
{
    shown.push_back({Shown::Kind::Message, message.title, message.text});
    if (whileShown)
        whileShown();
}

prompts::Answer ScriptedPrompts::confirm(QWidget*, const prompts::Confirmation& confirmation)
{
    shown.push_back({Shown::Kind::Confirmation, confirmation.title, confirmation.text, confirmation.choice});
    if (whileShown)
        whileShown();
    if (answers.empty())
        return confirmation.choice == prompts::Choice::YesNo ? prompts::Answer::No : prompts::Answer::Cancel;
    const prompts::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompts::openFile(QWidget*, const prompts::FileRequest& request)
{
    shown.push_back({Shown::Kind::OpenFile, request.title, request.filter});
    return takeNext(files);
}

std::optional<QString> ScriptedPrompts::saveFile(QWidget*, const prompts::FileRequest& request)
{
    shown.push_back({Shown::Kind::SaveFile, request.title, request.filter});
    return takeNext(files);
}

std::optional<QString> ScriptedPrompts::chooseFolder(QWidget*, const QString& title, const QString& start)
{
    shown.push_back({Shown::Kind::FolderChoice, title, start});
    return takeNext(folders);
}

void ScriptedPrompts::showError(const prompts::Message& message)
{
    shown.push_back({Shown::Kind::Error, message.title, message.text});
}

std::vector<Shown> ScriptedPrompts::ofKind(Shown::Kind kind) const
{
    std::vector<Shown> result;
    for (const Shown& s : shown)
        if (s.kind == kind)
            result.push_back(s);
    return result;
}

}  // namespace orvasel::testing
