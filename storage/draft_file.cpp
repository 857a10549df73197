#include "storage/draft_file.h"

#include <charconv>

namespace orvasel::draft_file {
namespace {

// A first line that says what the file is, then fields of a name, a length and that many bytes,
// so that any text, line breaks and all, comes back as it was; a cut file lacks its last field.
constexpr std::string_view kHeader = "Orvasel brouillon 1\n";

void field(std::string& out, std::string_view name, std::string_view value)
{
    out.append(name).append(" ").append(std::to_string(value.size())).append("\n").append(value).append("\n");
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    std::optional<std::string> field(std::string_view name)
    {
        const std::size_t end = rest_.find('\n');
        if (end == std::string_view::npos || rest_.substr(0, name.size() + 1) != std::string(name) + " ")
            return std::nullopt;
        const std::string_view digits = rest_.substr(name.size() + 1, end - name.size() - 1);
        std::size_t length = 0;
        const auto [last, error] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
        if (error != std::errc() || last != digits.data() + digits.size() || digits.empty())
            return std::nullopt;
        rest_.remove_prefix(end + 1);
        if (rest_.size() < length + 1 || rest_[length] != '\n')
            return std::nullopt;
        std::string value(rest_.substr(0, length));
        rest_.remove_prefix(length + 1);
        return value;
    }

    bool atEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

}  // namespace

std::string serialize(const Draft& draft)
{
    std::string out(kHeader);
    field(out, "fichier", draft.infoPath);
    field(out, "note", draft.note);
    field(out, "export", draft.exportPath);
    field(out, draft.loadedBytes ? "lu" : "absent", draft.loadedBytes.value_or(std::string()));
    field(out, "date", std::to_string(draft.changedAt));
    field(out, "session", draft.session);
    return out;
}

std::optional<Draft> parse(std::string_view bytes)
{
    if (!bytes.starts_with(kHeader))
        return std::nullopt;
    Reader reader(bytes.substr(kHeader.size()));
    Draft draft;
    auto infoPath = reader.field("fichier");
    auto note = reader.field("note");
    auto exportPath = reader.field("export");
    if (!infoPath || !note || !exportPath)
        return std::nullopt;
    draft.infoPath = std::move(*infoPath);
    draft.note = std::move(*note);
    draft.exportPath = std::move(*exportPath);
    const Reader beforeLoaded = reader;
    if (auto loaded = reader.field("lu")) {
        draft.loadedBytes = std::move(*loaded);
    } else {
        reader = beforeLoaded;
        if (!reader.field("absent"))
            return std::nullopt;
    }
    const auto date = reader.field("date");
    auto session = reader.field("session");
    if (!date || !session || !reader.atEnd())
        return std::nullopt;
    const auto [last, error] = std::from_chars(date->data(), date->data() + date->size(), draft.changedAt);
    if (error != std::errc() || last != date->data() + date->size())
        return std::nullopt;
    draft.session = std::move(*session);
    return draft;
}

}  // namespace orvasel::draft_file
