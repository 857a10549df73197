#include "forms/search/background_search.h"

#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <iterator>
#include <mutex>
#include <optional>
#include <thread>

namespace orvasel {
namespace {

using Clock = std::chrono::steady_clock;

// With nothing new found, the progress goes to the window no more often than this.
constexpr auto kProgressInterval = std::chrono::milliseconds(100);

}  // namespace

// Held by the window's side and by one worker; it goes with the last of the two.
struct BackgroundSearch::Channel {
    Channel(QObject* receiver, Arrived arrived) : receiver(receiver), arrived(std::move(arrived)) {}

    std::atomic<bool> stop{false};
    std::mutex mutex;
    // Below, all guarded by the mutex. The receiver is set to null, on its own thread, when the
    // window lets go: from then on nothing reaches it.
    QObject* receiver;
    const Arrived arrived;  // called on the receiver's thread only
    SearchBatch waiting;    // handed over by the worker, not taken yet
    bool told = false;      // the receiver was told, and has not taken everything since
};

BackgroundSearch::BackgroundSearch(QObject* receiver, Arrived arrived, std::shared_ptr<search::Disk> disk)
    : receiver_(receiver), arrived_(std::move(arrived)), disk_(std::move(disk))
{
}

BackgroundSearch::~BackgroundSearch()
{
    stop();
}

void BackgroundSearch::start(Request request)
{
    stop();
    channel_ = std::make_shared<Channel>(receiver_, arrived_);
    // Not joined, ever: whoever lets it go returns at once, and the thread ends on its own.
    std::thread(&BackgroundSearch::work, channel_, disk_, std::move(request)).detach();
}

void BackgroundSearch::stop()
{
    if (!channel_)
        return;
    channel_->stop = true;
    {
        const std::lock_guard lock(channel_->mutex);
        channel_->receiver = nullptr;
        channel_->waiting = {};
    }
    channel_.reset();
}

SearchBatch BackgroundSearch::take(std::size_t most)
{
    SearchBatch batch;
    if (!channel_)
        return batch;
    const std::lock_guard lock(channel_->mutex);
    std::vector<SearchResult>& waiting = channel_->waiting.found;
    batch.detailed.swap(channel_->waiting.detailed);
    if (waiting.size() <= most) {
        batch.found.swap(waiting);
    } else {
        // From the end: the window puts them in its own order anyway.
        batch.found.assign(std::make_move_iterator(waiting.end() - std::ptrdiff_t(most)),
                           std::make_move_iterator(waiting.end()));
        waiting.erase(waiting.end() - std::ptrdiff_t(most), waiting.end());
    }
    batch.tally = channel_->waiting.tally;
    batch.finished = channel_->waiting.finished && waiting.empty();
    channel_->told = false;
    if (!waiting.empty())
        tell(channel_);
    return batch;
}

void BackgroundSearch::tell(const std::shared_ptr<Channel>& channel)
{
    channel->told = true;
    QMetaObject::invokeMethod(
        channel->receiver,
        [weak = std::weak_ptr<Channel>(channel)] {
            // On the receiver's thread, which alone ever clears the receiver: no lock needed.
            if (const auto open = weak.lock(); open && open->receiver)
                open->arrived();
        },
        Qt::QueuedConnection);
}

void BackgroundSearch::work(std::shared_ptr<Channel> channel, std::shared_ptr<search::Disk> disk, Request request)
{
    std::vector<SearchResult> found;  // since the last hand-over
    std::vector<ResultUpdate> detailed;
    Clock::time_point lastTold;
    const auto handOver = [&](const search::Tally& tally, bool finished) {
        const std::lock_guard lock(channel->mutex);
        if (!channel->receiver)
            return;  // let go: nobody takes anything any more
        SearchBatch& waiting = channel->waiting;
        std::move(found.begin(), found.end(), std::back_inserter(waiting.found));
        found.clear();
        std::move(detailed.begin(), detailed.end(), std::back_inserter(waiting.detailed));
        detailed.clear();
        waiting.tally = tally;
        waiting.finished = finished;
        const auto now = Clock::now();
        if (!channel->told && (finished || !waiting.found.empty() || !waiting.detailed.empty() || now - lastTold >= kProgressInterval)) {
            tell(channel);
            lastTold = now;
        }
    };

    const search::NoteMatcher matcher(request.query);
    search::ExportChecker checker(search::ExportChecker::system(), search::kExportCheckLimit, request.chosenPlaces);
    std::optional<search::ProjectIndex> index;
    if (!request.indexFile.empty())
        index.emplace(request.indexFile);
    search::CatalogueOptions options;
    options.filter = request.filter;
    options.index = index ? &*index : nullptr;
    search::SearchListener listener;
    // Made ready for the table here, so that the window only puts them in.
    listener.found = [&](search::Found&& one) { found.push_back(resultOf(std::move(one))); };
    listener.detailed = [&](search::Detailed&& one) { detailed.push_back(updateOf(std::move(one))); };
    // As the walk goes on: what it found goes to the window at once, unless the window is still
    // busy with what it was given before.
    listener.progress = [&](const search::Tally& tally) { handOver(tally, false); };
    const search::Tally tally =
        search::searchCatalogue(request.roots, matcher, options, checker, channel->stop, listener, *disk);
    // A stopped search reports nothing more: whoever stopped it has moved on.
    if (!tally.stopped)
        handOver(tally, true);
}

}  // namespace orvasel
