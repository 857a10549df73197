#include "forms/search/background_search.h"

#include <QMetaObject>
#include <chrono>

namespace orvasel {
namespace {

using Clock = std::chrono::steady_clock;

// Results go to the window at most this often, the first one at once.
constexpr auto kBatchInterval = std::chrono::milliseconds(50);

}  // namespace

BackgroundSearch::BackgroundSearch(QObject* receiver, Receive receive)
    : receiver_(receiver), receive_(std::move(receive))
{
}

BackgroundSearch::~BackgroundSearch()
{
    stop();
}

int BackgroundSearch::start(std::vector<std::string> roots, std::string query)
{
    stop();
    stop_ = false;
    thread_ = std::thread(&BackgroundSearch::work, this, ++run_, std::move(roots), std::move(query));
    return run_;
}

void BackgroundSearch::stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void BackgroundSearch::work(int run, std::vector<std::string> roots, std::string query)
{
    SearchBatch batch;
    batch.run = run;
    bool anyFound = false;
    Clock::time_point lastSent = Clock::now();
    // Runs on this thread; the receiver's queue takes the batch over to its own thread. The
    // receiver outlives the worker: its owner stops the search before it goes.
    const auto send = [&](bool finished) {
        batch.finished = finished;
        QMetaObject::invokeMethod(
            receiver_, [receive = receive_, sent = std::move(batch)]() mutable { receive(std::move(sent)); },
            Qt::QueuedConnection);
        batch = SearchBatch{run, {}, batch.tally, false};
        lastSent = Clock::now();
    };

    search::NoteMatcher matcher(query);
    search::SearchListener listener;
    listener.found = [&](search::Found&& found) {
        batch.found.push_back(std::move(found));
        if (!anyFound) {
            anyFound = true;
            send(false);
        }
    };
    listener.folderDone = [&](const search::Tally& tally) {
        batch.tally = tally;
        if (Clock::now() - lastSent >= kBatchInterval)
            send(false);
    };
    batch.tally = search::searchTrees(std::move(roots), matcher, stop_, listener);
    // A stopped search reports nothing more: whoever stopped it has moved on.
    if (!batch.tally.stopped)
        send(true);
}

}  // namespace orvasel
