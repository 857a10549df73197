// An export the search found for a project without one, noted in the project's information file
// at the user's word: only its field line changes. The note is the user's: never rewritten, and
// never noted over while this window holds it unsaved.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "platform/ansi.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "storage/info_file.h"

#include <QDir>

using namespace orvasel;

namespace {

bool sameFile(const QString& a, const QString& b)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(a)).compare(QDir::cleanPath(QDir::fromNativeSeparators(b)),
                                                                  paths::fileNameCase())
           == 0;
}

bool blank(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

bool TForm1::NoteFoundExport(QWidget* owner, const QString& projectPath, const QString& exportPath)
{
    const QString project = paths::fileNamePart(projectPath);
    if (Button2->isEnabled() && sameFile(CurrentProjectPath, projectPath)) {
        prompts::message(owner, QStringLiteral("La note de « %1 » est en cours de modification dans la fenêtre principale : "
                                               "enregistrez-la d'abord, puis notez l'export trouvé.")
                                    .arg(project));
        return false;
    }
    const std::optional<std::string> path = ansi::fromUnicode(exportPath);
    if (!path) {
        prompts::message(owner, QStringLiteral("L'export « %1 » ne peut pas être noté : le fichier d'information ne peut pas "
                                               "contenir « %2 ».")
                                    .arg(exportPath, ansi::unstorableCharacters(exportPath)));
        return false;
    }
    const QString infoPath = projectPath + QStringLiteral(".info");
    const std::string file = paths::toFileSystem(infoPath);
    const file_io::ReadResult read = file_io::readWholeFile(file);
    if (read.status == file_io::ReadStatus::Unreadable) {
        prompts::message(owner, QStringLiteral("La note de « %1 » ne peut pas être lue (%2) : l'export n'a pas été noté.")
                                    .arg(project, QString::fromStdString(read.error)));
        return false;
    }
    const std::string bytes = read.status == file_io::ReadStatus::Ok ? read.bytes : std::string();
    if (!blank(info_file::parse(bytes).exportPath)) {
        prompts::message(owner, QStringLiteral("Un export est déjà noté pour « %1 » : rien n'a été changé.").arg(project));
        return false;
    }
    const std::optional<std::string> noted = info_file::withExportPath(bytes, *path);
    if (!noted) {
        prompts::message(owner, QStringLiteral("L'export « %1 » ne peut pas être noté tel quel dans le fichier d'information.")
                                    .arg(exportPath));
        return false;
    }
    // Replaced only while it still holds what was read: someone may have written it meanwhile.
    const std::optional<std::string> expected =
        read.status == file_io::ReadStatus::Missing ? std::nullopt : std::optional<std::string>(read.bytes);
    const file_io::ReplaceResult written = file_io::replaceIfUnchanged(file, *noted, expected);
    if (written.outcome == file_io::ReplaceResult::Outcome::Changed) {
        prompts::message(owner, QStringLiteral("La note de « %1 » vient d'être modifiée par ailleurs : l'export n'a pas été "
                                               "noté. Réessayez.")
                                    .arg(project));
        return false;
    }
    if (written.outcome != file_io::ReplaceResult::Outcome::Written) {
        prompts::message(owner, QStringLiteral("Erreur à l'écriture de votre fichier d'information : %1 (%2).")
                                    .arg(infoPath, QString::fromStdString(written.error)));
        return false;
    }
    return true;
}
