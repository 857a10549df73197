// Any texts as the cells of the project list: the file, read back by a CSV reader that works as
// Python's does, gives back every cell as it was (the apostrophes that neutralise formulas aside),
// and read by a spreadsheet splitting on ';', ',' or a tab, no cell is a formula (= + - @ first,
// once the tabs and line ends before it are trimmed).
#include "search/csv_export.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace orvasel::search;

namespace {

[[noreturn]] void fail(const char* what, const std::string& cell)
{
    std::fprintf(stderr, "CSV list: %s: [%s]\n", what, cell.c_str());
    std::abort();
}

using Records = std::vector<std::vector<std::string>>;

// Python's csv reader (not strict; quotes doubled inside quoted fields): a quote opens a quoted
// field only at the field's start; CR, LF or CR LF end a record outside quotes.
Records parse(std::string_view text, char separator)
{
    enum class State { StartRecord, StartField, InField, InQuoted, QuoteInQuoted } state = State::StartRecord;
    Records records;
    std::string field;
    bool open = false;
    const auto endField = [&] {
        records.back().push_back(field);
        field.clear();
    };
    const auto endRecord = [&] { endField(), open = false; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool lineEnd = c == '\r' || c == '\n';
        if (state == State::StartRecord) {
            if (lineEnd)
                continue;
            records.emplace_back();
            open = true;
            state = State::StartField;
        }
        const auto endLine = [&] {
            endRecord();
            state = State::StartRecord;
        };
        switch (state) {
        case State::StartField:
            if (c == '"')
                state = State::InQuoted;
            else if (c == separator)
                endField();
            else if (lineEnd)
                endLine();
            else
                field += c, state = State::InField;
            break;
        case State::InField:
            if (c == separator)
                endField(), state = State::StartField;
            else if (lineEnd)
                endLine();
            else
                field += c;
            break;
        case State::InQuoted:
            if (c == '"')
                state = State::QuoteInQuoted;
            else
                field += c;
            break;
        case State::QuoteInQuoted:
            if (c == '"')
                field += c, state = State::InQuoted;
            else if (c == separator)
                endField(), state = State::StartField;
            else if (lineEnd)
                endLine();
            else
                field += c, state = State::InField;
            break;
        case State::StartRecord:
            break;
        }
    }
    if (open)
        endRecord();
    return records;
}

bool startsFormula(char c)
{
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

// A spreadsheet runs a cell whose text, tabs and line ends before it aside, begins with = + - @.
bool isFormula(std::string_view cell)
{
    const std::size_t first = cell.find_first_not_of("\t\r\n");
    return first != std::string_view::npos && startsFormula(cell[first]) && cell[first] != '\t' && cell[first] != '\r';
}

// The cell without the apostrophes before formula starts where a cell may begin: those the list
// puts there, and those the text had there already (which the list keeps as they are).
std::string withoutApostrophes(std::string_view cell)
{
    std::string text;
    bool cellStart = true;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        if (cellStart && c == '\'' && i + 1 < cell.size() && startsFormula(cell[i + 1]))
            continue;
        text += c;
        if (c != '"')
            cellStart = c == ';' || c == ',' || c == '\t' || c == '\r' || c == '\n';
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The input's texts, separated by zero bytes, nine to a row.
    std::vector<std::string> texts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            texts.emplace_back();
        else
            texts.back() += char(data[i]);
    }
    texts.resize((texts.size() + 8) / 9 * 9);
    std::vector<CsvRow> rows;
    for (std::size_t i = 0; i < texts.size(); i += 9)
        rows.push_back({texts[i], texts[i + 1], texts[i + 2], texts[i + 3], texts[i + 4], texts[i + 5], texts[i + 6],
                        texts[i + 7], texts[i + 8]});
    const std::string bytes = csvBytes(rows);
    const std::string_view text = std::string_view(bytes).substr(3);  // the byte-order mark

    const Records records = parse(text, ';');
    if (records.size() != rows.size() + 1)
        fail("rows", std::to_string(records.size()));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (records[row + 1].size() != 9)
            fail("fields in a row", std::to_string(records[row + 1].size()));
        for (std::size_t field = 0; field < 9; ++field)
            if (withoutApostrophes(records[row + 1][field]) != withoutApostrophes(texts[row * 9 + field]))
                fail("a cell read back otherwise", records[row + 1][field]);
    }
    for (const char separator : {';', ',', '\t'})
        for (const auto& record : parse(text, separator))
            for (const std::string& cell : record)
                if (isFormula(cell))
                    fail(separator == ';' ? "a cell that begins a formula (;)"
                         : separator == ',' ? "a cell that begins a formula (,)" : "a cell that begins a formula (tab)",
                         cell);
    return 0;
}
