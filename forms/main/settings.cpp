// Settings and closing: the settings file, read at start and rewritten at every close request,
// and the question about an unsaved note.
#include "forms/main/TForm1.h"
#include "forms/main/state.h"

#include "platform/ansi.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/settings_location.h"
#include "storage/settings_file.h"
#include "storage/settings_merge.h"

#include <QDateTime>

using namespace orvasel;

namespace {

// The settings file of this run, decided at start.
QString SettingsFile;
// The file's bytes as this run last read or wrote them, which its values grew from; nothing when
// there was no file or it could not be read.
std::optional<std::string> SettingsAsRead;
// Why the last save wrote nothing; empty when it went well.
QString SaveFailure;
// When the user last answered the close question at the session's end: the close that follows
// then asks nothing more.
QDateTime SessionEndAnswered;

// A settings file larger than this is no settings file of the program's: it counts as damaged,
// and is never read whole.
constexpr std::size_t kLongestSettings = 1u << 20;
// Another copy merging its settings at the same moment is waited for this long at most.
constexpr int kLockWaitMs = 2000;

file_io::ReadResult readSettings(const QString& file)
{
    return file_io::readFileStart(paths::toFileSystem(file), kLongestSettings + 1);
}

bool settingsTooLarge(const file_io::ReadResult& read)
{
    return read.status == file_io::ReadStatus::Ok && read.bytes.size() > kLongestSettings;
}

QString describe(settings_file::Fault fault)
{
    switch (fault) {
    case settings_file::Fault::IndexNotANumber:
        return QStringLiteral("la deuxième ligne manque ou n'est pas un nombre");
    case settings_file::Fault::EndsBeforeSig:
        return QStringLiteral("la ligne « SIG » manque");
    case settings_file::Fault::EndsBeforeEof:
        return QStringLiteral("la ligne « EOF » manque");
    case settings_file::Fault::EndsBeforePlayer:
        return QStringLiteral("la dernière ligne manque");
    case settings_file::Fault::LineTooLong:
        return QStringLiteral("une ligne dépasse %1 caractères").arg(settings_file::kMaxLineLength);
    case settings_file::Fault::ListsDiffer:
        return QStringLiteral("les signets n'ont pas autant de noms que de dossiers");
    case settings_file::Fault::None:
        break;
    }
    return {};
}

// Turns the values into the file's bytes and keeps the first one that the file cannot hold
// unchanged: a mangled value would come back as another bookmark, or end a list early.
class Encoder {
public:
    QString failure;

    // marker: the line that would end the value's list on reading.
    std::string operator()(const QString& value, const QString& what, const char* marker = nullptr)
    {
        if (!failure.isEmpty())
            return {};
        const auto bytes = ansi::fromUnicode(value);
        if (!bytes)
            failure = QStringLiteral("%1 contient des caractères que le fichier ne peut pas garder (%2)")
                          .arg(what, ansi::unstorableCharacters(value));
        else if (!settings_file::fitsOneLine(*bytes))
            failure = QStringLiteral("%1 ne tient pas sur une ligne "
                                     "(%2 caractères au plus, sans retour à la ligne)")
                          .arg(what, QString::number(settings_file::kMaxLineLength));
        else if (marker && *bytes == marker)
            failure = QStringLiteral("%1 est « %2 », qui termine sa liste dans le fichier")
                          .arg(what, QLatin1String(marker));
        else
            return *bytes;
        return {};
    }
};

}  // namespace

void TForm1::FormCreate(QObject*)
{
    LoadSettings();
    ComboBox1Change(this);
    // Once the window is up: what an earlier run left unsaved is offered back.
    QTimer::singleShot(0, this, [this] { OfferDraftsLeft(); });
}

void TForm1::FormCloseQuery(QObject*, bool& CanClose)
{
    SaveSettings(true);
    if (!SaveFailure.isEmpty() && !CloseAnyway()) {
        CanClose = false;
        return;
    }
    if (!Button2->isEnabled())
        return;
    const bool answered = SessionEndAnswered.isValid() && SessionEndAnswered.secsTo(QDateTime::currentDateTime()) < 60;
    if (!answered && prompts::confirm(this, QStringLiteral("Fermer Orvasel sans enregistrer?"), prompts::Choice::OkCancel)
                         != prompts::Answer::Ok) {
        CanClose = false;
        return;
    }
    ForgetDraft();
}

bool TForm1::CloseAnyway()
{
    const QString question =
        QStringLiteral("Impossible d'enregistrer les réglages dans %1 : %2.\n\nFermer Orvasel quand même ?")
            .arg(SettingsFile, SaveFailure);
    return prompts::confirm(this, question, prompts::Choice::OkCancel) == prompts::Answer::Ok;
}

bool TForm1::FormSessionEnd(bool mayAsk)
{
    // The note first: its draft is on the disk before anything else is asked or written.
    if (Button2->isEnabled()) {
        KeepDraft();
        FinishDrafts(1500);
        if (mayAsk) {
            if (prompts::confirm(this, QStringLiteral("Fermer Orvasel sans enregistrer?"), prompts::Choice::OkCancel)
                != prompts::Answer::Ok)
                return false;
            // The draft stays: the shutdown may yet be cancelled by another program.
            SessionEndAnswered = QDateTime::currentDateTime();
        }
    }
    SaveSettings(mayAsk);
    return SaveFailure.isEmpty() || !mayAsk || CloseAnyway();
}

void TForm1::LoadSettings()
{
    SettingsFile = settings_location::locate();
    SettingsAsRead.reset();
    settings_file::Loaded loaded;
    const auto read = readSettings(SettingsFile);
    if (settingsTooLarge(read)) {
        // No settings file of the program's is this large: set aside whole, without reading it.
        const settings_location::Kept kept = settings_location::moveAside(SettingsFile);
        prompts::message(this, kept.failure.isEmpty()
                                   ? QStringLiteral("Le fichier de réglages %1 dépasse 1 Mo : ce n'est pas un fichier "
                                                    "de réglages d'Orvasel. Il est mis de côté dans %2 ; Orvasel "
                                                    "démarre sans réglages.")
                                         .arg(SettingsFile, kept.path)
                                   : QStringLiteral("Le fichier de réglages %1 dépasse 1 Mo : ce n'est pas un fichier "
                                                    "de réglages d'Orvasel, et il n'a pas pu être mis de côté (%2). "
                                                    "Orvasel démarre sans réglages.")
                                         .arg(SettingsFile, kept.failure));
    } else if (read.status == file_io::ReadStatus::Unreadable) {
        // Held by a virus scanner or a sync client for a moment, most likely: closing reads it again
        // and adds this run's changes to what it holds.
        prompts::message(this, QStringLiteral("Impossible de lire les réglages dans %1 : %2.\n\n"
                                              "Orvasel démarre sans eux ; à la fermeture, il relira ce "
                                              "fichier et y ajoutera vos changements sans rien en effacer.")
                                   .arg(SettingsFile, QString::fromStdString(read.error)));
    } else if (read.status == file_io::ReadStatus::Ok) {
        SettingsAsRead = read.bytes;
        loaded = settings_file::parse(read.bytes);
        if (loaded.fault != settings_file::Fault::None) {
            // The next save rewrites the file whole: what could not be read survives in the copy.
            QString text = QStringLiteral("Le fichier de réglages %1 n'a pas pu être lu entièrement : %2.\n\n"
                                          "Orvasel garde ce qu'il a pu en lire. ")
                               .arg(SettingsFile, describe(loaded.fault));
            const settings_location::Kept kept = settings_location::keepBackup(SettingsFile, read.bytes);
            if (!kept.failure.isEmpty())
                text += QStringLiteral("Le fichier n'a pas pu être copié (%1) ; il sera remplacé à la fermeture.")
                            .arg(kept.failure);
            else
                text += QStringLiteral("Le fichier tel qu'il était est gardé dans %1.").arg(kept.path);
            prompts::message(this, text);
        }
    }

    const settings_file::Settings& settings = loaded.settings;
    const int folderCount = int(settings.folders.size());
    if (folderCount > 0 && settings.currentIndex < folderCount)
        Button3->setEnabled(true);
    ShowSettings(settings);
}

void TForm1::ShowSettings(const settings_file::Settings& settings)
{
    CubasePath = ansi::toUnicode(settings.cubasePath);
    ComboBox1->clear();
    ComboBox2->clear();
    for (const std::string& folder : settings.folders)
        ComboBox1->AddItem(ansi::toUnicode(folder));
    for (const std::string& name : settings.names)
        ComboBox2->AddItem(ansi::toUnicode(name));
    AudioPlayerPath = ansi::toUnicode(settings.playerPath);
    ComboBox1->SetItemIndex(settings.currentIndex);
}

void TForm1::SaveSettings(bool mayAsk)
{
    Encoder encode;
    settings_file::Settings settings;
    settings.cubasePath = encode(CubasePath, QStringLiteral("le chemin de Cubase"));
    settings.currentIndex = ComboBox1->ItemIndex();
    const QStringList folders = ComboBox1->Items();
    for (qsizetype i = 0; i < folders.size(); ++i)
        settings.folders.push_back(
            encode(folders.at(i), QStringLiteral("le dossier du signet %1").arg(i + 1), "SIG"));
    const QStringList names = ComboBox2->Items();
    for (qsizetype i = 0; i < names.size(); ++i)
        settings.names.push_back(encode(names.at(i), QStringLiteral("le nom du signet %1").arg(i + 1), "EOF"));
    settings.playerPath = encode(AudioPlayerPath, QStringLiteral("le chemin du lecteur audio"));

    SaveFailure = encode.failure;
    if (!SaveFailure.isEmpty())
        return;

    // Another copy of the program, or another computer through a synchronised folder, may have
    // saved its own bookmarks and paths since this run read the file: they are merged, not erased.
    // Two copies closing at once take turns, so that the second merges what the first wrote.
    settings_location::WriteLock lock(SettingsFile);
    if (!lock.take(kLockWaitMs)) {
        SaveFailure = QStringLiteral("une autre copie d'Orvasel enregistre ses réglages dans ce fichier en ce moment");
        return;
    }
    const std::string path = paths::toFileSystem(SettingsFile);
    const auto onDisk = readSettings(SettingsFile);
    std::optional<std::string_view> theirs;
    if (onDisk.status == file_io::ReadStatus::Unreadable) {
        const QString reason = QString::fromStdString(onDisk.error);
        const QString question = QStringLiteral("Le fichier de réglages %1 ne peut pas être lu (%2) : il contient "
                                                "peut-être des signets ou des chemins enregistrés ailleurs.\n\n"
                                                "Le remplacer par les réglages de cette fenêtre ?")
                                     .arg(SettingsFile, reason);
        if (!mayAsk || prompts::confirm(this, question, prompts::Choice::YesNo) != prompts::Answer::Yes) {
            SaveFailure = QStringLiteral("le fichier ne peut pas être lu (%1) ; il n'a pas été remplacé").arg(reason);
            return;
        }
    } else if (onDisk.status == file_io::ReadStatus::Ok && onDisk.bytes != SettingsAsRead &&
               (settingsTooLarge(onDisk) || settings_file::parse(onDisk.bytes).fault != settings_file::Fault::None)) {
        // Damaged since it was read: it counts for nothing in the merge, and what it holds is kept
        // beside it, told before it is replaced.
        const settings_location::Kept kept =
            settingsTooLarge(onDisk) ? settings_location::moveAside(SettingsFile) : settings_location::keepBackup(SettingsFile, onDisk.bytes);
        if (!kept.failure.isEmpty()) {
            SaveFailure = QStringLiteral("le fichier n'a pas pu être lu entièrement ni mis de côté (%1)").arg(kept.failure);
            return;
        }
        if (mayAsk)
            prompts::message(this, QStringLiteral("Le fichier de réglages %1 a été abîmé depuis le démarrage "
                                                  "d'Orvasel. Ce qu'il contenait est gardé dans %2 ; il va être "
                                                  "remplacé par les réglages de cette fenêtre.")
                                       .arg(SettingsFile, kept.path));
    } else if (onDisk.status == file_io::ReadStatus::Ok) {
        theirs = onDisk.bytes;
    }
    const settings_file::Settings merged = settings_merge::merge(SettingsAsRead, settings, theirs);
    const std::string bytes = settings_file::serialize(merged);
    const auto written = file_io::writeFileAtomically(path, bytes);
    if (!written.ok) {
        SaveFailure = QString::fromStdString(written.error);
        return;
    }
    SettingsAsRead = bytes;
    // When the window stays open (the close cancelled), it shows what the file now holds.
    if (merged != settings)
        ShowSettings(merged);
}
