#include "search/export_check.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace orvasel::search {
namespace {

using Clock = std::chrono::steady_clock;
using file_probe::Presence;

// How often a wait for the last answers looks whether the search was stopped.
constexpr auto kStopPoll = std::chrono::milliseconds(50);

// A volume's thread takes the checks in batches, woken for a batch or for checks that have waited
// this long: a wake, a lock and an answer handed over for each check would cost the walk more than
// the checks themselves. A volume too slow to answer a batch within a check's time limit counts as
// not answering.
constexpr std::size_t kBatch = 64;
constexpr auto kGathering = std::chrono::milliseconds(10);

struct Question {
    std::size_t ticket = 0;
    std::string path;
    Clock::time_point asked;
    bool settled = false;  // in hand: its time ran out, its answer is no longer wanted
};

// A volume's own thread and the questions for it.
struct Volume {
    std::deque<Question> waiting;
    std::vector<Question> inHand;      // taken by the thread, asked of the file system in turn
    std::atomic<bool> stuck{false};    // a question in hand ran out of time: not answering, until the thread is back
    bool sleeping = false;             // the thread waits to be woken
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

    // The checks whose time ran out counted as not checked; a volume with such a check in hand
    // does not answer, and every check for it is counted so.
    void expire(Clock::time_point now)
    {
        for (auto& [name, volume] : volumes) {
            for (Question& question : volume->inHand) {
                if (question.settled)
                    continue;
                if (!volume->stuck && !late(question, now))
                    break;  // the later ones were asked later still
                settle(question.ticket, ExportState::Unchecked);
                question.settled = true;
                volume->stuck = true;
            }
            while (!volume->waiting.empty() && (volume->stuck || late(volume->waiting.front(), now))) {
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
            const auto unsettled = std::find_if(volume->inHand.begin(), volume->inHand.end(),
                                                [](const Question& question) { return !question.settled; });
            if (unsettled != volume->inHand.end())
                next = std::min(next, unsettled->asked + limit);
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
            const auto taken = volume->waiting.begin() + std::ptrdiff_t(std::min(volume->waiting.size(), kBatch));
            volume->inHand.assign(std::make_move_iterator(volume->waiting.begin()), std::make_move_iterator(taken));
            volume->waiting.erase(volume->waiting.begin(), taken);
            lock.unlock();
            // Only this thread changes what is in hand; the checker only marks questions settled.
            std::vector<Presence> presences;
            presences.reserve(volume->inHand.size());
            for (const Question& question : volume->inHand) {
                if (volume->stuck)
                    break;  // too late for the rest, counted as not checked already
                presences.push_back(shared->fileSystem.probe(question.path));
            }
            lock.lock();
            for (std::size_t i = 0; i < presences.size(); ++i)
                if (!volume->inHand[i].settled)
                    shared->settle(volume->inHand[i].ticket, stateOf(presences[i]));
            volume->inHand.clear();
            volume->stuck = false;
            shared->answered.notify_one();
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
    if (volume->stuck) {
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
