#include "search/csv_export.h"

namespace orvasel::search {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kRowEnd = "\r\n";
constexpr char kFieldSeparator = ';';

constexpr std::string_view kCellEnds = ";,\t\r\n";     // where a spreadsheet may end a cell
constexpr std::string_view kFormulaStarts = "=+-@\t\r";  // what makes a cell a formula

void appendField(std::string& out, std::string_view text)
{
    const bool quoted = text.find_first_of(";,\t\"\r\n") != std::string_view::npos;
    if (quoted)
        out += '"';
    bool cellStart = true;
    for (const char c : text) {
        if (cellStart && kFormulaStarts.find(c) != std::string_view::npos)
            out += '\'';
        if (c == '"')
            out += '"';
        out += c;
        // A quote may open a cell's quoting: what follows it still begins the cell.
        if (c != '"')
            cellStart = kCellEnds.find(c) != std::string_view::npos;
    }
    if (quoted)
        out += '"';
}

void appendRow(std::string& out, const CsvRow& row)
{
    for (const std::string* field : {&row.project, &row.folder, &row.line, &row.exportPath, &row.exportState,
                                     &row.version, &row.modified, &row.plugins, &row.pluginNames}) {
        if (field != &row.project)
            out += kFieldSeparator;
        appendField(out, *field);
    }
    out += kRowEnd;
}

}  // namespace

std::string csvBytes(const std::vector<CsvRow>& rows)
{
    std::string out(kByteOrderMark);
    std::size_t size = out.size() + 64;
    for (const CsvRow& row : rows)
        size += row.project.size() + row.folder.size() + row.line.size() + row.exportPath.size()
                + row.exportState.size() + row.version.size() + row.modified.size() + row.plugins.size()
                + row.pluginNames.size() + 24;
    out.reserve(size);
    appendRow(out, {"Projet", "Dossier", "Ligne", "Export", "État de l'export", "Version", "Modifié", "Plugins",
                    "Liste des plugins"});
    for (const CsvRow& row : rows)
        appendRow(out, row);
    return out;
}

file_io::WriteResult writeCsv(const std::string& path, const std::vector<CsvRow>& rows)
{
    return file_io::writeFileAtomically(path, csvBytes(rows));
}

}  // namespace orvasel::search
