#include "platform/background_writes.h"

#include "platform/file_io.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace orvasel {

// Shared by the window and the thread, which keeps it alive when the window has let go.
struct BackgroundWrites::Shared {
    struct Request {
        std::string path;
        std::optional<std::string> bytes;  // nothing: remove the file
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Request> waiting;
    bool busy = false;     // a request is being carried out
    bool closing = false;  // no more requests: the thread ends once the queue is empty

    void run()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return closing || !waiting.empty(); });
            if (waiting.empty())
                return;
            Request request = std::move(waiting.front());
            waiting.pop_front();
            busy = true;
            lock.unlock();
            if (request.bytes)
                file_io::writeFileAtomically(request.path, *request.bytes, file_io::Links::Refuse);
            else
                file_io::removeFile(request.path);
            lock.lock();
            busy = false;
            changed.notify_all();
        }
    }

    void ask(Request request)
    {
        {
            const std::lock_guard lock(mutex);
            std::erase_if(waiting, [&](const Request& r) { return r.path == request.path; });
            waiting.push_back(std::move(request));
        }
        changed.notify_all();
    }
};

BackgroundWrites::BackgroundWrites() : shared_(std::make_shared<Shared>())
{
    std::thread([shared = shared_] { shared->run(); }).detach();
}

BackgroundWrites::~BackgroundWrites()
{
    finish(std::chrono::seconds(2));
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->closing = true;
    }
    shared_->changed.notify_all();
}

void BackgroundWrites::write(const std::string& path, std::string bytes)
{
    shared_->ask({path, std::move(bytes)});
}

void BackgroundWrites::remove(const std::string& path)
{
    shared_->ask({path, std::nullopt});
}

bool BackgroundWrites::finish(std::chrono::milliseconds within)
{
    std::unique_lock lock(shared_->mutex);
    return shared_->changed.wait_for(lock, within, [this] { return shared_->waiting.empty() && !shared_->busy; });
}

}  // namespace orvasel
