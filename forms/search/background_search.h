#pragma once
// A search through the notes run on a worker thread, so that the windows stay responsive. The
// results wait for the receiver, which takes them on its own thread, in batches, when told.
//
// The window never waits for the worker: a worker held up by the disk (a network share that
// stopped answering) is let go by stop, by a new search and by the end of its owner, and ends on
// its own whenever the disk answers. It shares nothing with the window but a channel both hold,
// and it reaches the receiver only through that channel, which the window closes as it lets go.
#include "forms/search/result_columns.h"
#include "search/catalogue.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvasel {

struct SearchBatch {
    std::vector<SearchResult> found;    // made on the search's thread, sort keys and all
    std::vector<ResultUpdate> detailed; // details of results found before
    search::Tally tally;
    bool finished = false;  // the last batch of its search: nothing more comes
};

class BackgroundSearch {
public:
    // Called on the receiver's thread when results wait: take them. The receiver must outlive
    // this object (a window holding it as a member does).
    using Arrived = std::function<void()>;
    BackgroundSearch(QObject* receiver, Arrived arrived, std::shared_ptr<search::Disk> disk = search::localDisk());
    ~BackgroundSearch();
    BackgroundSearch(const BackgroundSearch&) = delete;
    BackgroundSearch& operator=(const BackgroundSearch&) = delete;

    // What a search looks for and where.
    struct Request {
        std::vector<std::string> roots;
        std::string query;  // code page 1252
        search::Filter filter = search::Filter::AllProjects;
        // The folders the user chose (the roots, the bookmarks): exports on another machine are
        // checked only on theirs.
        std::vector<std::string> chosenPlaces;
        std::string indexFile;  // where what was read of the projects is kept; empty: nowhere
    };
    // Lets the former search go, then starts this one: the projects the text finds and the filter
    // keeps, each with its export's state, then what their project files hold.
    void start(Request request);
    // Lets the search under way go, at once: it stops at its next entry and reports nothing more.
    void stop();

    // On the receiver's thread: at most `most` of the results waiting, and how far the search has
    // come. Arrived is called again while more wait. The worker hands over its next results only
    // once the last ones were taken, so that a slow window is never flooded.
    SearchBatch take(std::size_t most);

private:
    struct Channel;
    static void work(std::shared_ptr<Channel> channel, std::shared_ptr<search::Disk> disk, Request request);
    static void tell(const std::shared_ptr<Channel>& channel);

    QObject* receiver_;
    Arrived arrived_;
    std::shared_ptr<search::Disk> disk_;
    std::shared_ptr<Channel> channel_;  // of the search under way; none between searches
};

}  // namespace orvasel
