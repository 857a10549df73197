#include "platform/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace orvasel::prompts {
namespace {

// "Audio|*.wav;*.mp3" becomes "Audio (*.wav *.mp3)", the form Qt's dialog reads its patterns from;
// the dialog is told to show the descriptions alone, as they were written.
QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

class StandardBoxes final : public Prompts {
public:
    void showMessage(QWidget* owner, const Message& message) override
    {
        QMessageBox box(QMessageBox::NoIcon, message.title, message.text, QMessageBox::Ok, owner);
        box.exec();
    }

    Answer confirm(QWidget* owner, const Confirmation& confirmation) override
    {
        QMessageBox::StandardButtons buttons = QMessageBox::Ok | QMessageBox::Cancel;
        QMessageBox::StandardButton escape = QMessageBox::Cancel;
        if (confirmation.choice == Choice::YesNo) {
            buttons = QMessageBox::Yes | QMessageBox::No;
            escape = QMessageBox::No;
        } else if (confirmation.choice == Choice::YesNoCancel) {
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        }
        QMessageBox box(QMessageBox::Question, confirmation.title, confirmation.text, buttons, owner);
        box.setEscapeButton(escape);
        switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return confirmation.choice == Choice::YesNo ? Answer::No : Answer::Cancel;
        }
    }

    std::optional<QString> openFile(QWidget* owner, const FileRequest& request) override
    {
        QFileDialog dialog(owner, request.title);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(qtNameFilters(request.filter));
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    }

    std::optional<QString> saveFile(QWidget* owner, const FileRequest& request) override
    {
        QFileDialog dialog(owner, request.title);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        const QStringList filters = qtNameFilters(request.filter);
        dialog.setNameFilters(filters);
        // A name typed without the filter's extension gets it.
        const qsizetype dot = request.filter.lastIndexOf(QStringLiteral("*."));
        if (dot >= 0)
            dialog.setDefaultSuffix(request.filter.mid(dot + 2).section(QLatin1Char(';'), 0, 0));
        // Opened in the proposed file's folder, the name ready to change.
        if (!request.fileName.isEmpty()) {
            const QFileInfo proposed(request.fileName);
            dialog.setDirectory(proposed.absolutePath());
            dialog.selectFile(proposed.fileName());
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    }

    std::optional<QString> chooseFolder(QWidget* owner, const QString& title, const QString& start) override
    {
        const QString folder = QFileDialog::getExistingDirectory(owner, title, start);
        if (folder.isEmpty())
            return std::nullopt;
        return QDir::toNativeSeparators(folder);
    }

    void showError(const Message& message) override
    {
        QMessageBox box(QMessageBox::Critical, message.title, message.text, QMessageBox::Ok);
        box.exec();
    }
};

StandardBoxes standardBoxes;
Prompts* installed = nullptr;

}  // namespace

Prompts& current()
{
    return installed ? *installed : standardBoxes;
}

void install(Prompts* replacement)
{
    installed = replacement;
}

void message(QWidget* owner, const QString& text)
{
    current().showMessage(owner, {QApplication::applicationName(), text});
}

Answer confirm(QWidget* owner, const QString& text, Choice choice)
{
    return current().confirm(owner, {QStringLiteral("Confirmation"), text, choice});
}

void error(const QString& text)
{
    current().showError({QApplication::applicationName(), text});
}

}  // namespace orvasel::prompts
