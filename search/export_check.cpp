#include "search/export_check.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace orvasel::search {
namespace {

using Clock = std::chrono::steady_clock;
using file_probe::Presence;

// How often a wait for the last answers looks whether the search was stopped.
constexpr auto kStopPoll = std::chrono::milliseconds(50);

// A volume's thread is woken for a batch of checks, or for checks that have waited this long: one
// wake for each check would cost the walk more than the checks themselves.
constexpr std::size_t kBatch = 64;
constexpr auto kGathering = std::chrono::milliseconds(10);

struct Question {
    std::size_t ticket = 0;
    std::string path;
    Clock::time_point asked;
};

// A volume's own thread and the questions waiting for it.
struct Volume {
    std::deque<Question> waiting;
    std::optional<Question> asking;  // the question the file system is being asked
    bool askingSettled = false;      // its time ran out: its answer is no longer wanted
    bool sleeping = false;           // the thread waits to be woken
    std::condition_variable wake;
};

ExportState stateOf(Presence presence)
{
    switch (presence) {
    case Presence::File:
        return ExportState::Present;
    case Presence::Missing:
        return ExportState::Missing;
    default:
        return ExportState::Unchecked;
    }
}

}  // namespace

std::string_view labelOf(ExportState state)
{
    switch (state) {
    case ExportState::None:
        return "\u2014";
    case ExportState::Present:
        return "présent";
    case ExportState::Missing:
        return "introuvable";
    default:
        return "non vérifié";
    }
}

ExportChecker::FileSystem ExportChecker::system()
{
    return {file_probe::probe,
            [mountPoints = file_probe::mountPoints()](const std::string& path) {
                return file_probe::volumeOf(path, mountPoints);
            }};
}

// Everything the volumes' threads use, kept alive by them for as long as they run: a thread held
// up by a volume that does not answer may outlive its checker.
struct ExportChecker::Shared {
    FileSystem fileSystem;
    std::chrono::milliseconds limit;
    std::mutex mutex;
    std::condition_variable answered;
    std::map<std::string, std::shared_ptr<Volume>> volumes;
    std::vector<std::pair<std::size_t, ExportState>> ready;  // answers not handed over yet
    std::vector<std::pair<std::size_t, ExportState>> handing;
    std::size_t nextTicket = 0;
    std::size_t unanswered = 0;
    bool closed = false;

    // The rest of these run with the mutex held.

    void settle(std::size_t ticket, ExportState state)
    {
        ready.emplace_back(ticket, state);
        --unanswered;
    }

    bool late(const Question& question, Clock::time_point now) const { return now - question.asked > limit; }
    // A volume still held up by a question whose time ran out.
    bool notAnswering(const Volume& volume, Clock::time_point now) const
    {
        return volume.asking && (volume.askingSettled || late(*volume.asking, now));
    }

    // The checks whose time ran out counted as not checked, and every check waiting for a volume
    // that does not answer.
    void expire(Clock::time_point now)
    {
        for (auto& [name, volume] : volumes) {
            if (volume->asking && !volume->askingSettled && late(*volume->asking, now)) {
                settle(volume->asking->ticket, ExportState::Unchecked);
                volume->askingSettled = true;
            }
            const bool stuck = notAnswering(*volume, now);
            while (!volume->waiting.empty() && (stuck || late(volume->waiting.front(), now))) {
                settle(volume->waiting.front().ticket, ExportState::Unchecked);
                volume->waiting.pop_front();
            }
        }
    }

    // Wakes the volumes' threads that sleep while checks wait for them: those with a batch, or
    // with checks that have waited long enough, or all of them.
    void rouse(Clock::time_point now, bool all)
    {
        for (auto& [name, volume] : volumes) {
            if (volume->sleeping && !volume->waiting.empty()
                && (all || volume->waiting.size() >= kBatch || now - volume->waiting.front().asked >= kGathering))
                volume->wake.notify_one();
        }
    }

    // When the oldest check still without an answer runs out of time.
    Clock::time_point nextExpiry() const
    {
        Clock::time_point next = Clock::time_point::max();
        for (const auto& [name, volume] : volumes) {
            if (volume->asking && !volume->askingSettled)
                next = std::min(next, volume->asking->asked + limit);
            if (!volume->waiting.empty())
                next = std::min(next, volume->waiting.front().asked + limit);
        }
        return next;
    }

    // Hands the ready answers over outside the lock.
    void handOver(std::unique_lock<std::mutex>& lock, const Answer& answer)
    {
        handing.swap(ready);
        lock.unlock();
        for (const auto& [ticket, state] : handing)
            answer(ticket, state);
        handing.clear();
        lock.lock();
    }

    static void serve(std::shared_ptr<Shared> shared, std::shared_ptr<Volume> volume)
    {
        std::unique_lock lock(shared->mutex);
        for (;;) {
            volume->sleeping = true;
            volume->wake.wait(lock, [&] { return shared->closed || !volume->waiting.empty(); });
            volume->sleeping = false;
            if (shared->closed)
                return;
            volume->asking = std::move(volume->waiting.front());
            volume->waiting.pop_front();
            volume->askingSettled = false;
            lock.unlock();
            const Presence presence = shared->fileSystem.probe(volume->asking->path);
            lock.lock();
            if (!volume->askingSettled) {
                shared->settle(volume->asking->ticket, stateOf(presence));
                shared->answered.notify_one();
            }
            volume->asking.reset();
        }
    }
};

ExportChecker::ExportChecker(FileSystem fileSystem, std::chrono::milliseconds limit)
    : shared_(std::make_shared<Shared>())
{
    shared_->fileSystem = std::move(fileSystem);
    shared_->limit = limit;
}

ExportChecker::~ExportChecker()
{
    std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
    for (auto& [name, volume] : shared_->volumes)
        volume->wake.notify_all();
}

std::size_t ExportChecker::ask(const std::string& path)
{
    const std::string name = shared_->fileSystem.volumeOf(path);
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(shared_->mutex);
    const std::size_t ticket = shared_->nextTicket++;
    ++shared_->unanswered;
    if (name.empty()) {
        shared_->settle(ticket, ExportState::Unchecked);
        return ticket;
    }
    std::shared_ptr<Volume>& volume = shared_->volumes[name];
    if (!volume) {
        volume = std::make_shared<Volume>();
        std::thread(&Shared::serve, shared_, volume).detach();
    }
    if (shared_->notAnswering(*volume, now)) {
        shared_->settle(ticket, ExportState::Unchecked);
        return ticket;
    }
    volume->waiting.push_back({ticket, path, now});
    if (volume->sleeping && volume->waiting.size() >= kBatch)
        volume->wake.notify_one();
    return ticket;
}

void ExportChecker::collect(const Answer& answer)
{
    std::unique_lock lock(shared_->mutex);
    const Clock::time_point now = Clock::now();
    shared_->expire(now);
    shared_->rouse(now, false);
    shared_->handOver(lock, answer);
}

void ExportChecker::finish(const Answer& answer, const std::function<bool()>& stop)
{
    std::unique_lock lock(shared_->mutex);
    for (;;) {
        const Clock::time_point now = Clock::now();
        shared_->expire(now);
        shared_->rouse(now, true);
        if (stop())
            return;
        // Everything settled by now is handed over below; what settles meanwhile, at the next turn.
        const bool settled = shared_->unanswered == 0;
        shared_->handOver(lock, answer);
        if (settled)
            return;
        // Until an answer comes, or just past the next expiry, so that it has run out when looked
        // at again, or until it is time to look whether the search was stopped.
        const Clock::time_point expiry = shared_->nextExpiry(), poll = Clock::now() + kStopPoll;
        shared_->answered.wait_until(lock, expiry < poll ? expiry + std::chrono::milliseconds(1) : poll);
    }
}

}  // namespace orvasel::search
