#pragma once
// The columns of the search window's table: what each project found shows in each, in which order
// each sorts, and the row of the list file. A result is made with its sort keys on the search's
// own thread, so that sorting a hundred thousand rows by any column holds the window only briefly.
#include "platform/name_order.h"
#include "search/csv_export.h"
#include "search/tree_search.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace orvasel {

enum ResultColumn {
    ProjectColumn,
    FolderColumn,
    VersionColumn,
    ModifiedColumn,
    PluginsColumn,
    ExportColumn,
    LineColumn,
    ResultColumnCount
};

// What was read of a project's file.
struct ResultDetails {
    QString version;      // "Cubase 13.0.10", "?" when unknown
    QString versionTip;   // its release date and architecture
    QByteArray versionKey;
    int pluginCount = -1; // -1: not known
    QStringList plugins;
};

struct SearchResult {
    std::size_t id = 0;   // the project's number in its search
    QString project;      // the project file's name
    QString folder;       // its folder text, ending with the separator
    QString line;         // the line that holds the text searched for, the note's first line, or the plugin
    QString exportPath;   // the exported-audio path, empty when none
    search::ExportState exportState = search::ExportState::None;
    QString foundExport;  // for "à noter": the export found beside the project
    file_probe::Probe projectFile;          // its size and time, when known
    std::optional<ResultDetails> details;   // once its project file is read
    NameKey projectKey, folderKey, lineKey;
};

// Details that came after their result.
struct ResultUpdate {
    std::size_t id = 0;
    ResultDetails details;
    QString foundExport;
};

// Made on any thread (the search's).
SearchResult resultOf(search::Found&& found);
ResultDetails detailsOf(const search::ProjectDetails& details);
ResultUpdate updateOf(search::Detailed&& detailed);
// A result made by hand (the tests): its keys made for it.
SearchResult resultOf(const QString& project, const QString& folder, const QString& line);

QString headerOf(int column);
// The cell's text, and its tooltip (none when it has nothing more to say).
QString textOf(const SearchResult& result, int column);
QVariant tipOf(const SearchResult& result, int column);
QString exportLabelOf(const SearchResult& result);
// The export the row's export column tells of: the one noted, or the one found.
QString shownExportOf(const SearchResult& result);

// The order of two results by the column: below zero when a comes first; ties are not broken.
int compareBy(int column, const SearchResult& a, const SearchResult& b);
// Whether the column's order depends on what is read of the project's file.
bool dependsOnDetails(int column);

search::CsvRow csvRowOf(const SearchResult& result);

}  // namespace orvasel
