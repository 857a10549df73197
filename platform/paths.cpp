#include "platform/paths.h"

#include <algorithm>
#include <vector>

#include <QDir>

namespace orvasel::paths {

QChar separator()
{
#ifdef _WIN32
    return QLatin1Char('\\');
#else
    return QLatin1Char('/');
#endif
}

QString cutAfterLastSeparator(const QString& text)
{
    return text.left(text.lastIndexOf(separator()) + 1);
}

QString fileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(separator()) + 1);
}

QString folderPart(const QString& path)
{
    return cutAfterLastSeparator(path);
}

namespace {

#ifdef _WIN32
// "\\serveur\partage" and what follows it: where the share's name ends, or -1 for no share.
qsizetype shareEnd(const QString& path)
{
    const auto separator = [&](qsizetype at) { return path.at(at) == QLatin1Char('\\') || path.at(at) == QLatin1Char('/'); };
    if (path.size() < 5 || !separator(0) || !separator(1) || separator(2) || path.at(2) == QLatin1Char('?')
        || path.at(2) == QLatin1Char('.'))
        return -1;
    qsizetype at = 3;
    while (at < path.size() && !separator(at))
        ++at;
    const qsizetype shareStart = at + 1;
    if (shareStart >= path.size() || separator(shareStart))
        return -1;
    at = shareStart;
    while (at < path.size() && !separator(at))
        ++at;
    return at;
}
#endif

}  // namespace

QString folderName(const QString& folder)
{
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(folder));
#ifdef _WIN32
    // A drive and a share are named with their root's separator.
    if ((clean.size() == 2 && clean.at(1) == QLatin1Char(':')) || shareEnd(clean) == clean.size())
        clean += QLatin1Char('/');
#endif
    return QDir::toNativeSeparators(clean);
}

bool isFullPath(const QString& text)
{
#ifdef _WIN32
    const bool onDrive = text.size() >= 3 && text.at(0).isLetter() && text.at(0).unicode() < 128
        && text.at(1) == QLatin1Char(':') && (text.at(2) == QLatin1Char('\\') || text.at(2) == QLatin1Char('/'));
    return onDrive || shareEnd(text) > 0;
#else
    return text.startsWith(QLatin1Char('/'));
#endif
}

QString fullPathExample()
{
#ifdef _WIN32
    return QStringLiteral("C:\\Musique ou \\\\serveur\\partage\\Musique");
#else
    return QStringLiteral("/home/vous/Musique");
#endif
}

Qt::CaseSensitivity fileNameCase()
{
#if defined(_WIN32) || defined(__APPLE__)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QStringList outermostFolders(const QStringList& folderTexts, Qt::CaseSensitivity sensitivity)
{
    // In the order of their texts a folder comes right after the one it is in, or after others in
    // that one: each is inside the last one kept, or is kept. Equal ones keep the first.
    const auto compared = [&](const QString& folder) {
        return sensitivity == Qt::CaseInsensitive ? folder.toCaseFolded() : folder;
    };
    std::vector<std::pair<QString, qsizetype>> sorted;
    sorted.reserve(std::size_t(folderTexts.size()));
    for (qsizetype i = 0; i < folderTexts.size(); ++i)
        sorted.emplace_back(compared(folderTexts.at(i)), i);
    std::sort(sorted.begin(), sorted.end());
    std::vector<qsizetype> kept;
    const QString* last = nullptr;
    for (const auto& [text, at] : sorted) {
        if (last && text.startsWith(*last))
            continue;
        kept.push_back(at);
        last = &text;
    }
    std::sort(kept.begin(), kept.end());
    QStringList outermost;
    for (const qsizetype at : kept)
        outermost << folderTexts.at(at);
    return outermost;
}

std::string toFileSystem(const QString& path)
{
    return path.toStdString();
}

}  // namespace orvasel::paths
