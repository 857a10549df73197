#include "forms/search/result_columns.h"

#include "platform/ansi.h"

#include <QDateTime>
#include <array>
#include <climits>
#include <cstdint>

namespace orvasel {
namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Versions in the order of their programs, then of their numbers ("Cubase 9.5" before
// "Cubase 13.0"), the unknown ones last.
QByteArray versionKeyOf(const search::ProjectDetails& details)
{
    if (search::versionLabel(details) == "?")
        return QByteArray(1, '\xFF');
    QByteArray key = QByteArray::fromStdString(details.application).toLower() + '\x01';
    std::string_view version = details.version;
    while (!version.empty()) {
        const std::size_t digits = version.find_first_of("0123456789");
        if (digits == std::string_view::npos)
            break;
        const std::size_t end = std::min(version.find_first_not_of("0123456789", digits), version.size());
        key += QByteArray::fromStdString(std::string(version.substr(digits, end - digits))).rightJustified(12, '0');
        version.remove_prefix(end);
    }
    return key;
}

// The export states in the order of their labels, as the project list orders names.
int exportRank(search::ExportState a, search::ExportState b)
{
    static const std::array<NameKey, 6> keys = [] {
        std::array<NameKey, 6> made;
        for (std::size_t state = 0; state < made.size(); ++state)
            made[state] = NameKey(fromUtf8(search::labelOf(search::ExportState(state))));
        return made;
    }();
    return a == b ? 0 : keys[std::size_t(a)].compare(keys[std::size_t(b)]);
}

// The French way: 07/12/2026 15:30, in the user's time zone.
QString modifiedText(const SearchResult& result)
{
    if (result.projectFile.presence != file_probe::Presence::File)
        return {};
    return QDateTime::fromMSecsSinceEpoch(result.projectFile.modified / 1'000'000)
        .toLocalTime()
        .toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString pluginsText(const SearchResult& result)
{
    if (!result.details)
        return {};
    return result.details->pluginCount < 0 ? QStringLiteral("?") : QString::number(result.details->pluginCount);
}

// A tooltip shows this many plugins at most, then how many more there are.
constexpr qsizetype kPluginsShown = 40;

}  // namespace

ResultDetails detailsOf(const search::ProjectDetails& details)
{
    ResultDetails shown;
    shown.version = fromUtf8(search::versionLabel(details));
    QStringList about;
    if (!details.releaseDate.empty())
        about << QStringLiteral("du %1").arg(fromUtf8(details.releaseDate));
    if (!details.architecture.empty())
        about << fromUtf8(details.architecture);
    if (shown.version != QLatin1String("?") && !about.isEmpty())
        shown.versionTip = shown.version + QLatin1Char(' ') + about.join(QStringLiteral(", "));
    shown.versionKey = versionKeyOf(details);
    if (details.pluginsKnown) {
        shown.pluginCount = int(details.plugins.size());
        for (const std::string& plugin : details.plugins)
            shown.plugins << fromUtf8(plugin);
    }
    return shown;
}

SearchResult resultOf(search::Found&& found)
{
    SearchResult result;
    result.id = found.id;
    result.project = QString::fromStdString(found.project);
    result.folder = QString::fromStdString(found.folder);
    if (found.noteNotDownloaded)
        result.line = QStringLiteral("(note non téléchargée)");
    else if (!found.plugin.empty())
        result.line = QStringLiteral("plugin : ") + fromUtf8(found.plugin);
    else
        result.line = ansi::toUnicode(found.line);
    result.exportPath = ansi::toUnicode(found.exportPath);
    result.exportState = found.exportState;
    result.foundExport = fromUtf8(found.foundExport);
    result.projectFile = found.projectFile;
    if (found.details)
        result.details = detailsOf(*found.details);
    result.projectKey = NameKey(result.project);
    // The projects of one folder come together: its key is made once.
    thread_local QString lastFolder;
    thread_local NameKey lastFolderKey;
    if (result.folder != lastFolder) {
        lastFolder = result.folder;
        lastFolderKey = NameKey(result.folder);
    }
    result.folderKey = lastFolderKey;
    result.lineKey = NameKey(result.line);
    return result;
}

SearchResult resultOf(const QString& project, const QString& folder, const QString& line)
{
    search::Found found;
    found.project = project.toStdString();
    found.folder = folder.toStdString();
    found.line = ansi::fromUnicode(line).value_or(std::string());
    return resultOf(std::move(found));
}

ResultUpdate updateOf(search::Detailed&& detailed)
{
    return {detailed.id, detailsOf(detailed.details), fromUtf8(detailed.foundExport)};
}

QString headerOf(int column)
{
    switch (column) {
    case ProjectColumn:
        return QStringLiteral("Projet");
    case FolderColumn:
        return QStringLiteral("Dossier");
    case VersionColumn:
        return QStringLiteral("Version");
    case ModifiedColumn:
        return QStringLiteral("Modifié");
    case PluginsColumn:
        return QStringLiteral("Plugins");
    case ExportColumn:
        return QStringLiteral("Export");
    default:
        return QStringLiteral("Ligne");
    }
}

QString exportLabelOf(const SearchResult& result)
{
    return fromUtf8(search::labelOf(result.exportState));
}

QString shownExportOf(const SearchResult& result)
{
    return result.exportState == search::ExportState::ToNote ? result.foundExport : result.exportPath;
}

QString textOf(const SearchResult& result, int column)
{
    switch (column) {
    case ProjectColumn:
        return result.project;
    case FolderColumn:
        return result.folder;
    case VersionColumn:
        return result.details ? result.details->version : QString();
    case ModifiedColumn:
        return modifiedText(result);
    case PluginsColumn:
        return pluginsText(result);
    case ExportColumn:
        return exportLabelOf(result);
    default:
        return result.line;
    }
}

QVariant tipOf(const SearchResult& result, int column)
{
    switch (column) {
    case VersionColumn:
        if (result.details && !result.details->versionTip.isEmpty())
            return result.details->versionTip;
        break;
    case PluginsColumn:
        if (result.details && !result.details->plugins.isEmpty()) {
            QStringList shown = result.details->plugins.mid(0, kPluginsShown);
            if (result.details->plugins.size() > kPluginsShown)
                shown << QStringLiteral("… et %1 autres").arg(result.details->plugins.size() - kPluginsShown);
            return shown.join(QLatin1Char('\n'));
        }
        break;
    case ExportColumn:
        // The export's state tells of its path, shown on the way.
        if (!shownExportOf(result).isEmpty())
            return shownExportOf(result);
        break;
    default:
        break;
    }
    return {};
}

int compareBy(int column, const SearchResult& a, const SearchResult& b)
{
    const auto order = [](auto x, auto y) { return int(x > y) - int(x < y); };
    switch (column) {
    case ProjectColumn:
        return a.projectKey.compare(b.projectKey);
    case FolderColumn:
        return a.folderKey.compare(b.folderKey);
    case VersionColumn:
        return order(a.details ? a.details->versionKey : QByteArray(2, '\xFF'),
                     b.details ? b.details->versionKey : QByteArray(2, '\xFF'));
    case ModifiedColumn: {
        // Oldest first, the unknown ones last.
        const auto time = [](const SearchResult& result) {
            return result.projectFile.presence == file_probe::Presence::File ? result.projectFile.modified : INT64_MAX;
        };
        return order(time(a), time(b));
    }
    case PluginsColumn: {
        const auto count = [](const SearchResult& result) {
            return result.details && result.details->pluginCount >= 0 ? result.details->pluginCount : INT_MAX;
        };
        return order(count(a), count(b));
    }
    case ExportColumn:
        return exportRank(a.exportState, b.exportState);
    default:
        return a.lineKey.compare(b.lineKey);
    }
}

bool dependsOnDetails(int column)
{
    return column == VersionColumn || column == PluginsColumn || column == ExportColumn;
}

search::CsvRow csvRowOf(const SearchResult& result)
{
    const QStringList plugins = result.details ? result.details->plugins : QStringList();
    return {result.project.toStdString(),
            result.folder.toStdString(),
            result.line.toStdString(),
            shownExportOf(result).toStdString(),
            exportLabelOf(result).toStdString(),
            textOf(result, VersionColumn).toStdString(),
            textOf(result, ModifiedColumn).toStdString(),
            pluginsText(result).toStdString(),
            plugins.join(QStringLiteral(", ")).toStdString()};
}

}  // namespace orvasel
