#pragma once
// The list of projects as a CSV file that French Excel and LibreOffice open as it stands: UTF-8
// with a byte-order mark, ';' between fields, CR LF after each row. A field is quoted when it holds a
// separator of any spreadsheet (';', ',' or a tab), a quote or a line end (a quote doubled inside).
// No cell can be run as a formula, whichever of those a spreadsheet splits on: wherever a cell may
// begin (a field's start, each of its lines, after each ';', ',' or tab in it, quotes aside), a
// character that starts a formula (= + - @, a tab or a CR) is preceded by an apostrophe, so that
// it shows as the text it is.
#include "platform/file_io.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvasel::search {

struct CsvRow {  // each field in UTF-8
    std::string project;
    std::string folder;
    std::string line;
    std::string exportPath;
    std::string exportState;
    std::string version;
    std::string modified;
    std::string plugins;      // how many
    std::string pluginNames;  // their names, separated by ", "
};

// The whole file: the header "Projet;Dossier;Ligne;Export;État de l'export;Version;Modifié;Plugins;
// Liste des plugins", then the rows in order.
std::string csvBytes(const std::vector<CsvRow>& rows);

// Written whole or not at all: a failed write leaves no half file, and a former file as it was.
file_io::WriteResult writeCsv(const std::string& path, const std::vector<CsvRow>& rows);

}  // namespace orvasel::search
