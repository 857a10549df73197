#include "search/export_check.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace orvasel::search {
namespace {

using Clock = std::chrono::steady_clock;
using file_probe::Presence;

// How often a wait for the last answers looks whether the search was stopped.
constexpr auto kStopPoll = std::chrono::milliseconds(50);

// A thread takes a volume's checks in batches, woken for a batch or for checks that have waited
// this long: a wake, a lock and an answer handed over for each check would cost the walk more than
// the checks themselves. A volume too slow to answer a batch within a check's time limit counts as
// not answering.
constexpr std::size_t kBatch = 64;
constexpr auto kGathering = std::chrono::milliseconds(10);

// The checking threads of the whole program, those of abandoned checkers still held up included.
std::atomic<int> checkingThreads{0};

bool takeThreadPlace()
{
    int count = checkingThreads.load();
    while (count < kMostCheckingThreads && !checkingThreads.compare_exchange_weak(count, count + 1)) {
    }
    return count < kMostCheckingThreads;
}

struct Question {
    std::size_t ticket = 0;
    std::string path;
    Clock::time_point asked;
    bool settled = false;  // in hand: its time ran out, its answer is no longer wanted
};

// A volume and the questions for it, asked of the file system by one thread at a time.
struct Volume {
    std::deque<Question> waiting;
    std::vector<Question> inHand;      // taken by a thread, asked of the file system in turn
    std::atomic<bool> stuck{false};    // a question in hand ran out of time: not answering, until the thread is back
    bool served = false;               // a thread has its questions in hand
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
    case ExportState::Stale:
        return "antérieur au projet";
    case ExportState::ToNote:
        return "à noter";
    default:
        return "non vérifié";
    }
}

ExportChecker::FileSystem ExportChecker::system()
{
    return {file_probe::probe, [mounts = file_probe::mounts()](const std::string& path) {
                file_probe::Volume volume = file_probe::volumeOf(path, mounts);
                volume.remote = volume.remote || file_probe::remoteDrive(volume.name);
                return volume;
            }};
}

// Everything the checking threads use, kept alive by them for as long as they run: a thread held
// up by a volume that does not answer may outlive its checker.
struct ExportChecker::Shared {
    FileSystem fileSystem;
    std::chrono::milliseconds limit;
    std::set<std::string> chosenVolumes;  // another machine's volumes that the user chose to look at
    std::mutex mutex;
    std::condition_variable answered;
    std::condition_variable work;  // for the threads waiting for questions
    std::map<std::string, std::shared_ptr<Volume>> volumes;
    std::vector<std::tuple<std::size_t, ExportState, std::int64_t>> ready;  // answers not handed over yet
    std::vector<std::tuple<std::size_t, ExportState, std::int64_t>> handing;
    std::size_t nextTicket = 0;
    std::size_t unanswered = 0;
    int threads = 0;       // this checker's
    int idle = 0;          // of them, waiting for questions
    bool hurry = false;    // the last answers are waited for: no more gathering
    bool closed = false;

    // The rest of these run with the mutex held.

    void settle(std::size_t ticket, ExportState state, std::int64_t modified = 0)
    {
        ready.emplace_back(ticket, state, modified);
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

    // A volume whose checks a thread may take now: a batch of them, or some that waited long enough.
    Volume* takeable(Clock::time_point now)
    {
        for (auto& [name, volume] : volumes)
            if (!volume->served && !volume->stuck && !volume->waiting.empty()
                && (hurry || volume->waiting.size() >= kBatch || now - volume->waiting.front().asked >= kGathering))
                return volume.get();
        return nullptr;
    }

    // When the next gathering ends, for a thread that found nothing to take.
    Clock::time_point nextGathered() const
    {
        Clock::time_point next = Clock::time_point::max();
        for (const auto& [name, volume] : volumes)
            if (!volume->served && !volume->stuck && !volume->waiting.empty())
                next = std::min(next, volume->waiting.front().asked + kGathering);
        return next;
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
        for (const auto& [ticket, state, modified] : handing)
            answer(ticket, state, modified);
        handing.clear();
        lock.lock();
    }

    // One more thread when every one is busy (or held up) and the program has room for it.
    static void addThreadIfNeeded(const std::shared_ptr<Shared>& shared)
    {
        if (shared->idle > 0 || shared->closed || !takeThreadPlace())
            return;
        ++shared->threads;
        ++shared->idle;  // until it starts: no other is started for the same questions meanwhile
        std::thread(&Shared::serve, shared).detach();
    }

    static void serve(std::shared_ptr<Shared> shared)
    {
        std::unique_lock lock(shared->mutex);
        --shared->idle;
        for (;;) {
            if (shared->closed) {
                --shared->threads;
                --checkingThreads;
                return;
            }
            Volume* const volume = shared->takeable(Clock::now());
            if (!volume) {
                ++shared->idle;
                const Clock::time_point gathered = shared->nextGathered();
                if (gathered == Clock::time_point::max())
                    shared->work.wait(lock);
                else
                    shared->work.wait_until(lock, gathered);
                --shared->idle;
                continue;
            }
            volume->served = true;
            const auto taken = volume->waiting.begin() + std::ptrdiff_t(std::min(volume->waiting.size(), kBatch));
            volume->inHand.assign(std::make_move_iterator(volume->waiting.begin()), std::make_move_iterator(taken));
            volume->waiting.erase(volume->waiting.begin(), taken);
            lock.unlock();
            // Only this thread changes what is in hand; the checker only marks questions settled.
            std::vector<file_probe::Probe> probes;
            probes.reserve(volume->inHand.size());
            for (const Question& question : volume->inHand) {
                if (volume->stuck)
                    break;  // too late for the rest, counted as not checked already
                probes.push_back(shared->fileSystem.probe(question.path));
            }
            lock.lock();
            for (std::size_t i = 0; i < probes.size(); ++i)
                if (!volume->inHand[i].settled)
                    shared->settle(volume->inHand[i].ticket, stateOf(probes[i].presence), probes[i].modified);
            volume->inHand.clear();
            volume->stuck = false;
            volume->served = false;
            shared->answered.notify_one();
        }
    }
};

ExportChecker::ExportChecker(FileSystem fileSystem, std::chrono::milliseconds limit,
                             const std::vector<std::string>& chosenPlaces)
    : shared_(std::make_shared<Shared>())
{
    shared_->fileSystem = std::move(fileSystem);
    shared_->limit = limit;
    for (const std::string& place : chosenPlaces)
        if (const file_probe::Volume volume = shared_->fileSystem.volumeOf(place); volume.remote)
            shared_->chosenVolumes.insert(volume.name);
}

ExportChecker::~ExportChecker()
{
    std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
    shared_->work.notify_all();
}

std::size_t ExportChecker::ask(const std::string& path, bool anywhere)
{
    const file_probe::Volume where = shared_->fileSystem.volumeOf(path);
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(shared_->mutex);
    const std::size_t ticket = shared_->nextTicket++;
    ++shared_->unanswered;
    if (where.name.empty() || (where.remote && !anywhere && !shared_->chosenVolumes.contains(where.name))) {
        shared_->settle(ticket, ExportState::Unchecked);
        return ticket;
    }
    std::shared_ptr<Volume>& volume = shared_->volumes[where.name];
    if (!volume)
        volume = std::make_shared<Volume>();
    if (volume->stuck) {
        shared_->settle(ticket, ExportState::Unchecked);
        return ticket;
    }
    volume->waiting.push_back({ticket, path, now});
    // A thread that waits without an end in sight learns of the first question, and of a batch.
    if (volume->waiting.size() == 1 || volume->waiting.size() >= kBatch || shared_->hurry)
        shared_->work.notify_one();
    if (!volume->served)
        Shared::addThreadIfNeeded(shared_);
    return ticket;
}

void ExportChecker::collect(const Answer& answer)
{
    std::unique_lock lock(shared_->mutex);
    shared_->expire(Clock::now());
    shared_->handOver(lock, answer);
}

void ExportChecker::finish(const Answer& answer, const std::function<bool()>& stop)
{
    std::unique_lock lock(shared_->mutex);
    shared_->hurry = true;
    shared_->work.notify_all();
    for (;;) {
        shared_->expire(Clock::now());
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
