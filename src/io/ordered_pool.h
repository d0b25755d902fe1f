#pragma once
// Work on the blocks of an input spread over a pool of threads, with the
// results taken in input order. The calling thread reads the blocks and takes
// the results; the pool's threads, created once, do the work between. A fixed
// number of slots bounds what is in flight: when all are busy, reading waits
// for the oldest result to be taken.
//
//   OrderedPool<Block, Result> pool(threads, [](Block& b, Result& r) { ... });
//   pool.Run([&](Block& b) { return reader.Next(b.text); },   // false: no more
//            [&](Block& b, Result& r) { ...; return true; });  // false: stop
//
// With one thread no pool is made: each block is worked on and taken in turn
// by the calling thread. Threads the system cannot start (too little memory
// or too many threads) are done without: the pool runs with those that did
// start, or on the calling thread alone.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace varn {

// Starts a thread running body; throws std::system_error when it cannot.
using ThreadStart = std::function<std::thread(std::function<void()> body)>;
inline std::thread StartThread(std::function<void()> body) { return std::thread(std::move(body)); }

// Threads a pool uses by default at most: no more blocks than this are ever
// in flight (see OrderedPool::kMaxSlots), so further threads would only wait.
inline constexpr int kMaxDefaultThreads = 32;

// The threads a job uses when asked for `wanted` (0: the cores available, at
// most kMaxDefaultThreads).
inline int PoolThreads(int wanted) {
    if (wanted > 0) return wanted;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? std::min(static_cast<int>(cores), kMaxDefaultThreads) : 1;
}

template <typename Block, typename Result>
class OrderedPool {
  public:
    using Work = std::function<void(Block&, Result&)>;

    // Blocks in flight at most, whatever the threads: the memory a job takes
    // stays bounded.
    static constexpr std::size_t kMaxSlots = 32;

    // start starts each thread; tests give one that fails.
    OrderedPool(int threads, Work work, const ThreadStart& start = StartThread)
        : work_(std::move(work)),
          slots_(threads > 1 ? std::min(2 * static_cast<std::size_t>(threads) + 1, kMaxSlots) : 1) {
        if (threads <= 1) return;
        workers_.reserve(static_cast<std::size_t>(threads));
        for (int i = 0; i < threads; ++i) {
            try {
                workers_.push_back(start([this] { Serve(); }));
            } catch (const std::system_error&) {
                break;  // the threads started so far do the work
            } catch (const std::bad_alloc&) {
                break;
            }
        }
        // Slots for the threads there are: fewer blocks held in memory.
        const std::size_t started = workers_.size();
        slots_.resize(started > 0 ? std::min(2 * started + 1, kMaxSlots) : 1);
    }
    OrderedPool(const OrderedPool&) = delete;
    OrderedPool& operator=(const OrderedPool&) = delete;
    ~OrderedPool() {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        work_ready_.notify_all();
        for (std::thread& worker : workers_) worker.join();
    }

    // Reads blocks with read (false: no more) until the input ends or take
    // answers false; take gets each block's result in input order. Blocks
    // read ahead of a stop are worked on and dropped.
    template <typename ReadFn, typename TakeFn>
    void Run(ReadFn&& read, TakeFn&& take) {
        if (workers_.empty()) {
            Slot& slot = slots_.front();
            while (read(slot.block)) {
                work_(slot.block, slot.result);
                if (!take(slot.block, slot.result)) return;
            }
            return;
        }
        const std::size_t count = slots_.size();
        std::size_t oldest = 0;  // the next result to take
        std::size_t queued = 0;  // slots handed to the pool, not yet taken
        bool input_done = false;
        bool stopped = false;
        while (!stopped) {
            // Keep every free slot busy.
            while (!input_done && queued < count) {
                Slot& slot = slots_[(oldest + queued) % count];
                if (!read(slot.block)) {
                    input_done = true;
                    break;
                }
                {
                    std::lock_guard lock(mutex_);
                    slot.state = State::Queued;
                    queue_.push_back(&slot);
                }
                work_ready_.notify_one();
                ++queued;
            }
            if (queued == 0) break;
            Slot& slot = slots_[oldest];
            {
                std::unique_lock lock(mutex_);
                work_done_.wait(lock, [&slot] { return slot.state == State::Done; });
                slot.state = State::Free;
            }
            if (slot.error) {
                // A failure in a worker (out of memory) is the job's: raised
                // here once the pool is idle.
                const std::exception_ptr error = std::exchange(slot.error, nullptr);
                Drain();
                std::rethrow_exception(error);
            }
            stopped = !take(slot.block, slot.result);
            oldest = (oldest + 1) % count;
            --queued;
        }
        Drain();
    }

  private:
    enum class State { Free, Queued, Done };
    struct Slot {
        Block block;
        Result result;
        State state = State::Free;
        std::exception_ptr error;
    };

    // Drops the blocks not yet begun and waits for those being worked on:
    // their slots are then free for another run.
    void Drain() {
        std::unique_lock lock(mutex_);
        queue_.clear();
        queue_head_ = 0;
        work_done_.wait(lock, [this] { return busy_ == 0; });
        for (Slot& slot : slots_) {
            slot.state = State::Free;
            slot.error = nullptr;
        }
    }

    void Serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            work_ready_.wait(lock, [this] { return closing_ || queue_head_ < queue_.size(); });
            if (closing_) return;
            Slot* slot = queue_[queue_head_++];
            if (queue_head_ == queue_.size()) {
                queue_.clear();
                queue_head_ = 0;
            }
            ++busy_;
            lock.unlock();
            try {
                work_(slot->block, slot->result);
            } catch (...) {
                slot->error = std::current_exception();
            }
            lock.lock();
            --busy_;
            slot->state = State::Done;
            work_done_.notify_all();
        }
    }

    Work work_;
    std::vector<Slot> slots_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable work_ready_;
    std::condition_variable work_done_;
    std::vector<Slot*> queue_;  // slots waiting for a thread, from queue_head_ on
    std::size_t queue_head_ = 0;
    std::size_t busy_ = 0;
    bool closing_ = false;

  public:
    // The threads working besides the caller (0: the caller works alone).
    std::size_t workers() const { return workers_.size(); }
};

}  // namespace varn
