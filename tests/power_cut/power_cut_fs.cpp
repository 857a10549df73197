#define FUSE_USE_VERSION 31
#include "power_cut/power_cut_fs.h"

#include <fuse.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvasel::testing {

struct PowerCutFileSystem::State {
    struct Node {
        bool folder = false;
        mode_t mode = 0644;
        std::string data, dataOnDisk;  // a file's content, now and as last flushed
        std::map<std::string, std::uint64_t> names, namesOnDisk;  // a folder's, likewise
    };

    std::mutex mutex;
    std::unordered_map<std::uint64_t, Node> nodes;
    std::uint64_t next = 2;
    int steps = 0;
    int cutAt = 0;
    bool dead = false;
    struct fuse* fuse = nullptr;
    std::thread loop;
    std::atomic<bool> loopEnded = false;
    std::string mounted;

    State() { nodes[1].folder = true, nodes[1].mode = 0755; }

    // The node a path names, or 0; its folder and last name through the pointers.
    std::uint64_t find(const char* path, std::uint64_t* parent = nullptr, std::string* last = nullptr)
    {
        std::uint64_t at = 1, up = 1;
        std::string name;
        std::stringstream parts(path);
        for (std::string part; std::getline(parts, part, '/');) {
            if (part.empty())
                continue;
            if (at == 0 || !nodes[at].folder)
                return 0;
            up = at;
            name = part;
            const auto found = nodes[at].names.find(part);
            at = found == nodes[at].names.end() ? 0 : found->second;
        }
        if (parent)
            *parent = up;
        if (last)
            *last = name;
        return at;
    }

    // After every step that changes the file system: the cut, when it is due.
    void stepDone()
    {
        if (++steps != cutAt)
            return;
        for (auto& [ino, node] : nodes) {
            node.data = node.dataOnDisk;
            node.names = node.namesOnDisk;
        }
        dead = true;
    }

    std::uint64_t make(std::uint64_t parent, const std::string& name, bool folder, mode_t mode)
    {
        const std::uint64_t ino = next++;
        nodes[ino].folder = folder;
        nodes[ino].mode = mode & 07777;
        nodes[parent].names[name] = ino;
        return ino;
    }

    static State& of() { return *static_cast<State*>(fuse_get_context()->private_data); }
};

namespace {

using State = PowerCutFileSystem::State;

// Every request, under the one lock; a dead machine answers none.
template <typename F>
int serve(F&& f)
{
    State& s = State::of();
    const std::lock_guard lock(s.mutex);
    if (s.dead)
        return -EIO;
    return f(s);
}

// A request that changes the file system: one step.
template <typename F>
int change(F&& f)
{
    return serve([&](State& s) {
        const int result = f(s);
        if (result >= 0)
            s.stepDone();
        return result;
    });
}

int fs_getattr(const char* path, struct stat* st, fuse_file_info* fi)
{
    return serve([&](State& s) {
        const std::uint64_t ino = fi ? fi->fh : s.find(path);
        if (ino == 0 || !s.nodes.count(ino))
            return -ENOENT;
        const State::Node& node = s.nodes[ino];
        std::memset(st, 0, sizeof *st);
        st->st_ino = ino;
        st->st_mode = (node.folder ? S_IFDIR : S_IFREG) | node.mode;
        st->st_nlink = 1;
        st->st_size = off_t(node.data.size());
        st->st_uid = getuid();
        st->st_gid = getgid();
        return 0;
    });
}

int fs_readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    return serve([&](State& s) {
        const std::uint64_t ino = s.find(path);
        if (ino == 0 || !s.nodes[ino].folder)
            return -ENOTDIR;
        fill(buffer, ".", nullptr, 0, fuse_fill_dir_flags{});
        fill(buffer, "..", nullptr, 0, fuse_fill_dir_flags{});
        for (const auto& [name, child] : s.nodes[ino].names)
            fill(buffer, name.c_str(), nullptr, 0, fuse_fill_dir_flags{});
        return 0;
    });
}

int fs_mkdir(const char* path, mode_t mode)
{
    return change([&](State& s) {
        std::uint64_t parent = 0;
        std::string name;
        if (s.find(path, &parent, &name) != 0)
            return -EEXIST;
        s.make(parent, name, true, mode);
        return 0;
    });
}

int fs_create(const char* path, mode_t mode, fuse_file_info* fi)
{
    return change([&](State& s) {
        std::uint64_t parent = 0;
        std::string name;
        std::uint64_t ino = s.find(path, &parent, &name);
        if (ino != 0 && (fi->flags & O_EXCL))
            return -EEXIST;
        if (ino == 0)
            ino = s.make(parent, name, false, mode);
        fi->fh = ino;
        fi->direct_io = 1;
        return 0;
    });
}

int fs_open(const char* path, fuse_file_info* fi)
{
    return serve([&](State& s) {
        const std::uint64_t ino = s.find(path);
        if (ino == 0)
            return -ENOENT;
        fi->fh = ino;
        fi->direct_io = 1;
        return 0;
    });
}

int fs_read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi)
{
    return serve([&](State& s) {
        const std::string& data = s.nodes[fi->fh].data;
        if (std::size_t(offset) >= data.size())
            return 0;
        const std::size_t length = std::min(size, data.size() - std::size_t(offset));
        std::memcpy(buffer, data.data() + offset, length);
        return int(length);
    });
}

int fs_write(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* fi)
{
    return change([&](State& s) {
        std::string& data = s.nodes[fi->fh].data;
        if (data.size() < std::size_t(offset) + size)
            data.resize(std::size_t(offset) + size);
        std::memcpy(data.data() + offset, buffer, size);
        return int(size);
    });
}

int fs_truncate(const char* path, off_t size, fuse_file_info* fi)
{
    return change([&](State& s) {
        const std::uint64_t ino = fi ? fi->fh : s.find(path);
        if (ino == 0)
            return -ENOENT;
        s.nodes[ino].data.resize(std::size_t(size));
        return 0;
    });
}

int fs_fsync(const char*, int, fuse_file_info* fi)
{
    return change([&](State& s) {
        s.nodes[fi->fh].dataOnDisk = s.nodes[fi->fh].data;
        return 0;
    });
}

int fs_fsyncdir(const char* path, int, fuse_file_info*)
{
    return change([&](State& s) {
        const std::uint64_t ino = s.find(path);
        s.nodes[ino].namesOnDisk = s.nodes[ino].names;
        return 0;
    });
}

int fs_unlink(const char* path)
{
    return change([&](State& s) {
        std::uint64_t parent = 0;
        std::string name;
        if (s.find(path, &parent, &name) == 0)
            return -ENOENT;
        s.nodes[parent].names.erase(name);
        return 0;
    });
}

int fs_rmdir(const char* path)
{
    return fs_unlink(path);
}

int fs_rename(const char* from, const char* to, unsigned int flags)
{
    return change([&](State& s) {
        std::uint64_t fromParent = 0, toParent = 0;
        std::string fromName, toName;
        const std::uint64_t ino = s.find(from, &fromParent, &fromName);
        if (ino == 0)
            return -ENOENT;
        const std::uint64_t there = s.find(to, &toParent, &toName);
        if (flags & RENAME_EXCHANGE)
            return -EINVAL;
        if (there != 0 && (flags & RENAME_NOREPLACE))
            return -EEXIST;
        if (there != 0 && s.nodes[there].folder)
            return -EISDIR;
        s.nodes[fromParent].names.erase(fromName);
        s.nodes[toParent].names[toName] = ino;
        return 0;
    });
}

int fs_chmod(const char* path, mode_t mode, fuse_file_info* fi)
{
    return change([&](State& s) {
        const std::uint64_t ino = fi ? fi->fh : s.find(path);
        if (ino == 0)
            return -ENOENT;
        s.nodes[ino].mode = mode & 07777;
        return 0;
    });
}

int fs_utimens(const char* path, const struct timespec[2], fuse_file_info* fi)
{
    return serve([&](State& s) { return (fi ? fi->fh : s.find(path)) == 0 ? -ENOENT : 0; });
}

void* fs_init(fuse_conn_info*, fuse_config* config)
{
    // Every read and every look at a name comes here: nothing the kernel kept outlives a cut.
    config->direct_io = 1;
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    config->hard_remove = 1;
    return fuse_get_context()->private_data;
}

fuse_operations operations()
{
    fuse_operations ops{};
    ops.init = fs_init;
    ops.getattr = fs_getattr;
    ops.readdir = fs_readdir;
    ops.mkdir = fs_mkdir;
    ops.create = fs_create;
    ops.open = fs_open;
    ops.read = fs_read;
    ops.write = fs_write;
    ops.truncate = fs_truncate;
    ops.fsync = fs_fsync;
    ops.fsyncdir = fs_fsyncdir;
    ops.unlink = fs_unlink;
    ops.rmdir = fs_rmdir;
    ops.rename = fs_rename;
    ops.chmod = fs_chmod;
    ops.utimens = fs_utimens;
    return ops;
}

}  // namespace

PowerCutFileSystem::PowerCutFileSystem() : state_(std::make_unique<State>()) {}

PowerCutFileSystem::~PowerCutFileSystem()
{
    if (!state_->fuse)
        return;
    {
        const std::lock_guard lock(state_->mutex);
        state_->dead = false;
    }
    // The loop waits in a read of the FUSE device: a signal ends the wait, and the loop then sees
    // that it is to end. Unmounted only then, so that no request is left without an answer.
    fuse_exit(state_->fuse);
    while (!state_->loopEnded.load()) {
        pthread_kill(state_->loop.native_handle(), SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    state_->loop.join();
    fuse_unmount(state_->fuse);
    fuse_destroy(state_->fuse);
}

bool PowerCutFileSystem::mount(const std::string& folder, std::string& why)
{
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        why = "/dev/fuse is missing or not usable here";
        return false;
    }
    const char* argv[] = {"orvasel-power-cut", "-o", "fsname=orvasel-power-cut"};
    fuse_args args = FUSE_ARGS_INIT(3, const_cast<char**>(argv));
    const fuse_operations ops = operations();
    state_->fuse = fuse_new(&args, &ops, sizeof ops, state_.get());
    fuse_opt_free_args(&args);  // copied by FUSE as it parsed them
    if (!state_->fuse || fuse_mount(state_->fuse, folder.c_str()) != 0) {
        why = "FUSE refused to mount " + folder;
        if (state_->fuse)
            fuse_destroy(state_->fuse);
        state_->fuse = nullptr;
        return false;
    }
    state_->mounted = folder;
    // A signal that interrupts the loop's read instead of restarting it.
    struct sigaction interrupt {};
    interrupt.sa_handler = [](int) {};
    sigaction(SIGUSR1, &interrupt, nullptr);
    state_->loop = std::thread([state = state_.get()] {
        fuse_loop(state->fuse);
        state->loopEnded = true;
    });
    return true;
}

void PowerCutFileSystem::flushEverything()
{
    const std::lock_guard lock(state_->mutex);
    for (auto& [ino, node] : state_->nodes) {
        node.dataOnDisk = node.data;
        node.namesOnDisk = node.names;
    }
}

void PowerCutFileSystem::cutAfter(int steps)
{
    const std::lock_guard lock(state_->mutex);
    state_->steps = 0;
    state_->cutAt = steps;
    state_->dead = false;
}

int PowerCutFileSystem::stepsTaken() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->steps;
}

bool PowerCutFileSystem::powerWasCut() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->dead;
}

void PowerCutFileSystem::startAgain()
{
    const std::lock_guard lock(state_->mutex);
    state_->dead = false;
    state_->cutAt = 0;
}

}  // namespace orvasel::testing
