#include "search/project_index.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <unordered_set>

namespace orvasel::search {
namespace {

// Which files are ours, and in which format: a file with other marks is made anew.
constexpr int kApplicationId = 0x4F525653;  // "ORVS"
constexpr int kFormat = 1;
// How long a write waits for another copy of the program that is writing.
constexpr int kBusyMilliseconds = 2000;
// Stores are written this many at a time, in one transaction.
constexpr std::size_t kWrittenTogether = 256;

constexpr const char* kSchema = "CREATE TABLE projects ("
                                " path TEXT PRIMARY KEY, size INTEGER NOT NULL, modified INTEGER NOT NULL,"
                                " is_project INTEGER NOT NULL, application TEXT NOT NULL, version TEXT NOT NULL,"
                                " release_date TEXT NOT NULL, architecture TEXT NOT NULL,"
                                " plugins_known INTEGER NOT NULL, plugins TEXT NOT NULL) WITHOUT ROWID";

std::filesystem::path pathOf(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool run(sqlite3* database, const char* sql)
{
    return sqlite3_exec(database, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The first column of the first row of the query; nothing when it fails.
std::optional<std::string> single(sqlite3* database, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    std::optional<std::string> value;
    if (sqlite3_prepare_v2(database, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        value = text ? text : "";
    }
    sqlite3_finalize(statement);
    return value;
}

std::string textColumn(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string(text, std::size_t(sqlite3_column_bytes(statement, column))) : std::string();
}

void bindText(sqlite3_stmt* statement, int parameter, const std::string& text)
{
    sqlite3_bind_text(statement, parameter, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

// Names hold no control characters: one line each.
std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text.append(text.empty() ? "" : "\n").append(name);
    return text;
}

std::vector<std::string> split(std::string_view text)
{
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        names.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return names;
}

bool damaged(int result)
{
    return result == SQLITE_CORRUPT || result == SQLITE_NOTADB;
}

}  // namespace

struct ProjectIndex::Database {
    struct Pending {
        std::string path;
        std::uint64_t size;
        std::int64_t modified;
        ProjectDetails details;
    };

    sqlite3* handle = nullptr;
    sqlite3_stmt* find = nullptr;
    sqlite3_stmt* store = nullptr;
    std::vector<Pending> pending;

    ~Database()
    {
        sqlite3_finalize(find);
        sqlite3_finalize(store);
        sqlite3_close(handle);
    }

    enum class Outcome { Open, NotOurs, Failed };

    // Opens the file as ours, setting it up when it is new.
    Outcome open(const std::string& path)
    {
        if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr)
            != SQLITE_OK)
            return Outcome::Failed;
        sqlite3_busy_timeout(handle, kBusyMilliseconds);
        const std::optional<std::string> tables = single(handle, "SELECT count(*) FROM sqlite_schema");
        if (!tables)
            return Outcome::NotOurs;  // not a database, or one too damaged to tell
        if (*tables == "0" && !setUp())
            return Outcome::Failed;
        if (single(handle, "PRAGMA application_id") != std::to_string(kApplicationId)
            || single(handle, "PRAGMA user_version") != std::to_string(kFormat)
            || single(handle, "PRAGMA quick_check") != "ok")
            return Outcome::NotOurs;
        // Readers and one writer at once, across the copies of the program.
        if (single(handle, "PRAGMA journal_mode=WAL") != "wal" || !run(handle, "PRAGMA synchronous=NORMAL"))
            return Outcome::Failed;
        const bool prepared =
            sqlite3_prepare_v2(handle,
                               "SELECT size, modified, is_project, application, version, release_date, architecture,"
                               " plugins_known, plugins FROM projects WHERE path = ?1",
                               -1, &find, nullptr)
                == SQLITE_OK
            && sqlite3_prepare_v2(handle, "INSERT OR REPLACE INTO projects VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
                                  -1, &store, nullptr)
                   == SQLITE_OK;
        return prepared ? Outcome::Open : Outcome::NotOurs;
    }

    // A new file: marked as ours, with its table. Another copy may be setting it up at the same
    // moment: the one that comes second finds it done.
    bool setUp()
    {
        if (!run(handle, "BEGIN IMMEDIATE"))
            return false;
        const bool done = single(handle, "SELECT count(*) FROM sqlite_schema") != "0"
                          || (run(handle, ("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str())
                              && run(handle, ("PRAGMA user_version=" + std::to_string(kFormat)).c_str())
                              && run(handle, kSchema));
        return run(handle, done ? "COMMIT" : "ROLLBACK") && done;
    }
};

ProjectIndex::ProjectIndex(const std::string& path)
{
    std::error_code failed;
    std::filesystem::create_directories(pathOf(path).parent_path(), failed);
    auto database = std::make_unique<Database>();
    Database::Outcome outcome = database->open(path);
    if (outcome == Database::Outcome::NotOurs) {
        // Damaged, another program's or another version's: never trusted, made anew.
        database = std::make_unique<Database>();
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(pathOf(path + suffix), failed);
        outcome = database->open(path);
    }
    if (outcome == Database::Outcome::Open)
        database_ = std::move(database);
}

ProjectIndex::~ProjectIndex()
{
    flush();
}

bool ProjectIndex::usable() const
{
    return database_ != nullptr;
}

std::optional<ProjectDetails> ProjectIndex::find(const std::string& path, std::uint64_t size, std::int64_t modified)
{
    const std::lock_guard lock(mutex_);
    if (!database_)
        return std::nullopt;
    sqlite3_stmt* const statement = database_->find;
    bindText(statement, 1, path);
    const int result = sqlite3_step(statement);
    std::optional<ProjectDetails> details;
    if (result == SQLITE_ROW && std::uint64_t(sqlite3_column_int64(statement, 0)) == size
        && sqlite3_column_int64(statement, 1) == modified) {
        details.emplace();
        details->isProject = sqlite3_column_int(statement, 2) != 0;
        details->application = textColumn(statement, 3);
        details->version = textColumn(statement, 4);
        details->releaseDate = textColumn(statement, 5);
        details->architecture = textColumn(statement, 6);
        details->pluginsKnown = sqlite3_column_int(statement, 7) != 0;
        details->plugins = split(textColumn(statement, 8));
    }
    sqlite3_reset(statement);
    if (damaged(result))
        database_.reset();  // made anew at the next start
    return details;
}

void ProjectIndex::store(const std::string& path, std::uint64_t size, std::int64_t modified, const ProjectDetails& details)
{
    const std::lock_guard lock(mutex_);
    if (!database_)
        return;
    database_->pending.push_back({path, size, modified, details});
    if (database_->pending.size() >= kWrittenTogether)
        write();
}

void ProjectIndex::flush()
{
    const std::lock_guard lock(mutex_);
    write();
}

void ProjectIndex::write()
{
    if (!database_ || database_->pending.empty())
        return;
    sqlite3* const handle = database_->handle;
    sqlite3_stmt* const statement = database_->store;
    bool written = run(handle, "BEGIN IMMEDIATE");
    for (const Database::Pending& one : database_->pending) {
        if (!written)
            break;
        bindText(statement, 1, one.path);
        sqlite3_bind_int64(statement, 2, sqlite3_int64(one.size));
        sqlite3_bind_int64(statement, 3, one.modified);
        sqlite3_bind_int(statement, 4, one.details.isProject);
        bindText(statement, 5, one.details.application);
        bindText(statement, 6, one.details.version);
        bindText(statement, 7, one.details.releaseDate);
        bindText(statement, 8, one.details.architecture);
        sqlite3_bind_int(statement, 9, one.details.pluginsKnown);
        bindText(statement, 10, joined(one.details.plugins));
        const int result = sqlite3_step(statement);
        sqlite3_reset(statement);
        written = result == SQLITE_DONE;
        if (damaged(result)) {
            database_.reset();
            return;
        }
    }
    // Another copy writing for too long: what was read is read again next time.
    if (!(written && run(handle, "COMMIT")))
        run(handle, "ROLLBACK");
    database_->pending.clear();
}

void ProjectIndex::forgetAllBut(const std::string& root, const std::vector<std::string>& seen)
{
    const std::lock_guard lock(mutex_);
    write();
    if (!database_ || root.empty())
        return;
    sqlite3* const handle = database_->handle;
    // Every path below the root, and only those, sorts from the root up to the root with its last
    // character (the separator) one higher.
    std::string above = root;
    above.back() = char(above.back() + 1);
    sqlite3_stmt* statement = nullptr;
    std::vector<std::string> gone;
    const std::unordered_set<std::string_view> kept(seen.begin(), seen.end());
    if (sqlite3_prepare_v2(handle, "SELECT path FROM projects WHERE path >= ?1 AND path < ?2", -1, &statement, nullptr)
        == SQLITE_OK) {
        bindText(statement, 1, root);
        bindText(statement, 2, above);
        while (sqlite3_step(statement) == SQLITE_ROW)
            if (std::string path = textColumn(statement, 0); !kept.contains(path))
                gone.push_back(std::move(path));
    }
    sqlite3_finalize(statement);
    if (gone.empty() || !run(handle, "BEGIN IMMEDIATE"))
        return;
    bool done = sqlite3_prepare_v2(handle, "DELETE FROM projects WHERE path = ?1", -1, &statement, nullptr) == SQLITE_OK;
    for (const std::string& path : gone) {
        if (!done)
            break;
        bindText(statement, 1, path);
        done = sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    run(handle, done ? "COMMIT" : "ROLLBACK");
}

std::size_t ProjectIndex::size()
{
    const std::lock_guard lock(mutex_);
    if (!database_)
        return 0;
    return std::size_t(std::stoull(single(database_->handle, "SELECT count(*) FROM projects").value_or("0")));
}

}  // namespace orvasel::search
