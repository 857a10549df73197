#pragma once
// A search through the notes run on a worker thread, so that the windows stay responsive. The
// results come back in batches, on the receiver's thread, through its event queue.
#include "search/tree_search.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace orvasel {

struct SearchBatch {
    int run = 0;  // which search it comes from: batches of a former one arrive late and are dropped
    std::vector<search::Found> found;
    search::Tally tally;
    bool finished = false;  // the last batch of its search
};

class BackgroundSearch {
public:
    using Receive = std::function<void(SearchBatch&&)>;
    // Batches are handed to receive on the receiver's thread.
    BackgroundSearch(QObject* receiver, Receive receive);
    // Stops the search under way and waits for its end.
    ~BackgroundSearch();
    BackgroundSearch(const BackgroundSearch&) = delete;
    BackgroundSearch& operator=(const BackgroundSearch&) = delete;

    // Stops the former search, then starts this one; returns its run number.
    int start(std::vector<std::string> roots, std::string query);
    // Stops the search under way, if any, and waits for its end (the walk stops at its next entry).
    void stop();

private:
    void work(int run, std::vector<std::string> roots, std::string query);

    QObject* receiver_;
    Receive receive_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    int run_ = 0;
};

}  // namespace orvasel
