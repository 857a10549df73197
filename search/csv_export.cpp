#include "search/csv_export.h"

namespace orvasel::search {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kRowEnd = "\r\n";
constexpr char kFieldSeparator = ';';

void appendField(std::string& out, std::string_view text)
{
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    const bool quoted = text.find_first_of(";\"\r\n") != std::string_view::npos;
    if (quoted)
        out += '"';
    if (formula)
        out += '\'';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    if (quoted)
        out += '"';
}

void appendRow(std::string& out, const CsvRow& row)
{
    for (const std::string* field : {&row.project, &row.folder, &row.line, &row.exportPath, &row.exportState}) {
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
                + row.exportState.size() + 12;
    out.reserve(size);
    appendRow(out, {"Projet", "Dossier", "Ligne", "Export", "État de l'export"});
    for (const CsvRow& row : rows)
        appendRow(out, row);
    return out;
}

file_io::WriteResult writeCsv(const std::string& path, const std::vector<CsvRow>& rows)
{
    return file_io::writeFileAtomically(path, csvBytes(rows));
}

}  // namespace orvasel::search
