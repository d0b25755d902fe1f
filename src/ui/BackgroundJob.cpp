#include "ui/BackgroundJob.h"

#include <utility>

namespace varn {

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent) {}

BackgroundJob::~BackgroundJob() { StopAndWait(); }

bool BackgroundJob::Start(Work work, Then then) {
    if (thread_ != nullptr) return false;
    stop_.store(false, std::memory_order_relaxed);
    percent_.store(-1, std::memory_order_relaxed);
    thread_ = QThread::create([this, work = std::move(work)] {
        JobCallbacks callbacks;
        callbacks.step = [this](int percent) {
            if (percent_.exchange(percent, std::memory_order_relaxed) != percent) {
                emit Progress(percent);  // queued to the window's thread
            }
        };
        callbacks.stop_requested = [this] { return stop_.load(std::memory_order_relaxed); };
        work(callbacks);
    });
    thread_->setObjectName(QStringLiteral("varn job"));
    // finished comes from the worker's thread; the slot runs on this one.
    // A job waited for by StopAndWait has a stale generation: its
    // continuation, perhaps queued already, does nothing.
    const std::uint64_t generation = ++generation_;
    connect(thread_, &QThread::finished, this, [this, generation, then = std::move(then)] {
        if (generation != generation_ || thread_ == nullptr) return;
        QThread* finished = std::exchange(thread_, nullptr);
        finished->wait();
        finished->deleteLater();
        if (then) then();
    });
    thread_->start();
    return true;
}

void BackgroundJob::StopAndWait() {
    if (thread_ == nullptr) return;
    ++generation_;
    RequestStop();
    QThread* running = std::exchange(thread_, nullptr);
    running->disconnect(this);
    running->wait();
    delete running;
}

}  // namespace varn
