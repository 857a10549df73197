#include "platform/drafts.h"

#include "platform/file_io.h"
#include "platform/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocale>
#include <QLockFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <algorithm>
#include <memory>

namespace orvasel::drafts {
namespace {

QString OverriddenFolder;
// Held while the program runs, so that other copies leave this session's drafts alone.
std::unique_ptr<QLockFile> HeldSession;

const QString kExtension = QStringLiteral(".brouillon");
// A draft holds a note of at most a few megabytes; anything much larger is no draft of ours.
constexpr std::size_t kLongestDraft = 64u << 20;

QString sessionLockOf(const std::string& session)
{
    return folder() + QStringLiteral("session-") + QString::fromStdString(session) + QStringLiteral(".lock");
}

// Written by a copy of the program that still runs: its session's lock is held. A lock left by a
// copy that ended without letting go (a crash, a power cut) is taken over and so goes.
bool writtenByARunningCopy(const std::string& session)
{
    QLockFile lock(sessionLockOf(session));
    lock.setStaleLockTime(0);  // only a process that no longer runs makes a lock stale
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    return lock.error() == QLockFile::LockFailedError;
}

std::string utf8(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), std::size_t(bytes.size())};
}

}  // namespace

QString folder()
{
    if (!OverriddenFolder.isEmpty())
        return OverriddenFolder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir::toNativeSeparators(data + QStringLiteral("/brouillons")) + paths::separator();
}

void overrideFolder(const QString& folder)
{
    OverriddenFolder = folder;
    // The session's lock goes with its drafts.
    HeldSession.reset();
}

// The drafts of a note share the first part of their name; each copy adds its session to it.
QString namePrefix(const QString& infoPath)
{
    // One name for one file, however its folder was written ("C:\\" or "C:\", "/" or "\").
    QString key = QDir::cleanPath(QDir::fromNativeSeparators(infoPath));
    if (paths::fileNameCase() == Qt::CaseInsensitive)
        key = key.toCaseFolded();
    return QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(32)) +
           QLatin1Char('-');
}

QString fileFor(const QString& infoPath)
{
    return folder() + namePrefix(infoPath) + QString::fromStdString(session()) + kExtension;
}

std::string session()
{
    static const std::string id = QString::number(QRandomGenerator::system()->generate64(), 16).toStdString();
    if (!HeldSession) {
        QDir().mkpath(folder());
        HeldSession = std::make_unique<QLockFile>(sessionLockOf(id));
        HeldSession->setStaleLockTime(0);
        HeldSession->tryLock(0);
    }
    return id;
}

namespace {

// The drafts of the files whose names match, left by copies that no longer run, most recent
// first; the damaged ones are set aside on the way.
std::vector<Found> leftMatching(const QString& pattern, QStringList* setAside)
{
    const std::string mine = session();
    std::vector<Found> found;
    for (const QString& name : QDir(folder()).entryList({pattern}, QDir::Files)) {
        const QString file = folder() + name;
        const auto read = file_io::readFileStart(paths::toFileSystem(file), kLongestDraft);
        if (read.status != file_io::ReadStatus::Ok)
            continue;
        std::optional<draft_file::Draft> draft = draft_file::parse(read.bytes);
        if (!draft) {
            // Cut or damaged: kept as it is under a name of its own, never taken for a note.
            const QString kept = file + QStringLiteral(".illisible");
            if (QFile::rename(file, kept) && setAside)
                *setAside << kept;
            continue;
        }
        if (draft->session != mine && !writtenByARunningCopy(draft->session))
            found.push_back({file, std::move(*draft)});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.draft.changedAt > b.draft.changedAt; });
    return found;
}

}  // namespace

std::optional<Found> find(const QString& infoPath, QStringList* setAside)
{
    std::vector<Found> found = leftMatching(namePrefix(infoPath) + QStringLiteral("*") + kExtension, setAside);
    if (found.empty())
        return std::nullopt;
    return std::move(found.front());
}

std::vector<Found> left()
{
    return leftMatching(QStringLiteral("*") + kExtension, nullptr);
}

QString projectPath(const draft_file::Draft& draft)
{
    QString path = QString::fromStdString(draft.infoPath);
    if (path.endsWith(QStringLiteral(".info")))
        path.chop(5);
    return path;
}

QString dateText(const draft_file::Draft& draft)
{
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(draft.changedAt).toLocalTime();
    return QLocale(QLocale::French, QLocale::France).toString(when, QStringLiteral("d MMMM yyyy 'à' HH:mm"));
}

std::optional<QString> setAside(const Found& found)
{
    const draft_file::Draft& draft = found.draft;
    QString base = paths::fileNamePart(projectPath(draft));
    // A name every system takes: no separator nor any character Windows refuses, and not too long.
    static const QString kRefused = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : base)
        if (kRefused.contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    base = base.left(120) + QStringLiteral(" - ") +
           QDateTime::fromMSecsSinceEpoch(draft.changedAt).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH.mm"));
    QString text = QStringLiteral("Note non enregistrée de « %1 », du %2.\r\n\r\n")
                       .arg(projectPath(draft), dateText(draft));
    text += QString::fromStdString(draft.note);
    if (!text.endsWith(QStringLiteral("\r\n")))
        text += QStringLiteral("\r\n");
    text += QStringLiteral("\r\nExporté sous : %1\r\n").arg(QString::fromStdString(draft.exportPath));
    // With a byte-order mark, so that every editor of Windows reads it as UTF-8.
    const std::string bytes = "\xEF\xBB\xBF" + utf8(text);
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const QString kept = folder() + base + (attempt > 1 ? QStringLiteral(" (%1)").arg(attempt) : QString()) +
                             QStringLiteral(".txt");
        if (file_io::createNewFile(paths::toFileSystem(kept), bytes).ok) {
            file_io::removeFile(paths::toFileSystem(found.file));
            return kept;
        }
        if (!QFile::exists(kept))
            break;
    }
    return std::nullopt;
}

}  // namespace orvasel::drafts
