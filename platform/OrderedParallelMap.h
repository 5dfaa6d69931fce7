#pragma once
// A stream of items worked on by a few threads, each result taken on the calling thread in the
// order the items came. Made for work that mostly waits on the disk (one small file read per
// item): one thread leaves the disk idle between its requests, several keep it busy. Only a window
// of items is held at a time, so memory stays flat however long the stream.
#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace platform {

// Threads for reading many small files: more than the cores, since each mostly waits.
inline unsigned DefaultReadingThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::min(8u, std::max(2u, cores * 2));
}

template <typename In, typename Out>
class OrderedParallelMap {
public:
    // Runs on the workers, several items at once: must not touch what another item's work does.
    // What it throws (memory running out) is thrown again on the calling thread when that item's
    // turn comes, and ends the stream there, as it would with no thread.
    using Work = std::function<Out(const In&)>;
    // Runs on the calling thread, one result at a time in order; false ends the stream there.
    using Take = std::function<bool(Out&&)>;

    // threads 0 or 1: each item worked on and taken at once on the calling thread, no thread
    // started. window: the most items handed in and not yet taken.
    OrderedParallelMap(Work work, Take take, unsigned threads, std::size_t window)
        : work_(std::move(work)), take_(std::move(take)), window_(std::max<std::size_t>(window, 1)) {
        for (unsigned i = 0; threads > 1 && i < threads; ++i) workers_.emplace_back([this] { serve(); });
    }
    // Items not taken yet are dropped; the workers finish the item in hand and end.
    ~OrderedParallelMap() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
        }
        workReady_.notify_all();
        workers_.clear();
    }
    OrderedParallelMap(const OrderedParallelMap&) = delete;
    OrderedParallelMap& operator=(const OrderedParallelMap&) = delete;

    // Hands in the next item, taking first the results that are ready (waiting for the oldest
    // when the window is full). False once the stream has ended: the item is dropped.
    bool put(In item) {
        if (workers_.empty()) {
            if (!ended_) ended_ = !take_(work_(item));
            return !ended_;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        while (!ended_ && takeOldest(lock, slots_.size() >= window_)) {
        }
        if (ended_) return false;
        slots_.push_back(Slot{std::move(item), std::nullopt, nullptr});
        lock.unlock();
        workReady_.notify_one();
        return true;
    }

    // Takes the result of every item handed in; false when the stream ended early.
    bool finish() {
        if (workers_.empty()) return !ended_;
        std::unique_lock<std::mutex> lock(mutex_);
        while (!ended_ && takeOldest(lock, true)) {
        }
        return !ended_;
    }

private:
    struct Slot {
        In in;
        std::optional<Out> out;
        std::exception_ptr thrown;

        bool done() const { return out || thrown; }
    };

    // Takes the oldest result when it is ready, or after waiting for it; false when there is none
    // to take. The lock is let go while the result is taken, so the workers go on meanwhile.
    bool takeOldest(std::unique_lock<std::mutex>& lock, bool wait) {
        if (slots_.empty()) return false;
        if (wait) oldestReady_.wait(lock, [this] { return slots_.front().done(); });
        if (!slots_.front().done()) return false;
        if (const std::exception_ptr thrown = slots_.front().thrown) {
            ended_ = closing_ = true;
            workReady_.notify_all();
            std::rethrow_exception(thrown);
        }
        Out out = std::move(*slots_.front().out);
        slots_.pop_front();
        ++first_;
        lock.unlock();
        const bool goesOn = take_(std::move(out));
        lock.lock();
        if (!goesOn) {
            ended_ = closing_ = true;
            workReady_.notify_all();
        }
        return true;
    }

    // A worker: claims the next item not yet claimed, works on it unlocked, files the result.
    void serve() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            workReady_.wait(lock, [this] { return closing_ || claimed_ < first_ + slots_.size(); });
            if (closing_) return;
            const std::size_t index = claimed_++;
            const In in = std::move(slots_[index - first_].in);
            lock.unlock();
            std::optional<Out> out;
            std::exception_ptr thrown;
            try {
                out.emplace(work_(in));
            } catch (...) {  // an exception must not end a thread: that would end the program
                thrown = std::current_exception();
            }
            lock.lock();
            // Its slot is still there: only results already filed are taken and removed.
            slots_[index - first_].out = std::move(out);
            slots_[index - first_].thrown = thrown;
            if (index == first_) oldestReady_.notify_one();
        }
    }

    const Work work_;
    const Take take_;
    const std::size_t window_;
    bool ended_ = false;  // the taker has ended the stream
    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable oldestReady_;
    std::deque<Slot> slots_;  // the items handed in and not yet taken, oldest first
    std::size_t first_ = 0;   // the number of the oldest slot's item in the stream
    std::size_t claimed_ = 0; // the number of the next item for a worker
    bool closing_ = false;
    std::vector<std::jthread> workers_;  // last, so that they end before what they use goes
};

}  // namespace platform
