#pragma once
// One job at a time on a thread of its own, so the window keeps drawing and
// taking clicks while a file loads or bars are built. The job receives the
// core's JobCallbacks: its progress comes back as the Progress signal (on the
// window's thread, once for each new percent) and its stop flag is
// RequestStop. When the job has returned, the continuation runs on the
// window's thread:
//
//   auto report = std::make_shared<JobReport>();
//   job->Start([report](const JobCallbacks& callbacks) {
//       *report = RunBars(source, destination, choices, callbacks);  // on the worker
//   }, [this, report] { ShowReport(*report); });                     // on the window's thread
//
// The job may read what the window holds only while the window leaves it
// alone; the window locks its controls for that time.

#include <QObject>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>

#include "io/job.h"

namespace varn {

class BackgroundJob final : public QObject {
    Q_OBJECT

  public:
    using Work = std::function<void(const JobCallbacks& callbacks)>;
    using Then = std::function<void()>;

    explicit BackgroundJob(QObject* parent = nullptr);
    // Asks a running job to stop and waits for it; its continuation does
    // not run.
    ~BackgroundJob() override;

    // Starts work on a new thread and then, once it has returned, then.
    // False, and nothing runs, while another job is running.
    bool Start(Work work, Then then);
    bool Running() const { return thread_ != nullptr; }
    // Sets the stop flag the running job reads for every line.
    void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
    bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }
    // Asks the running job to stop and waits until its thread has ended,
    // without running its continuation.
    void StopAndWait();

  signals:
    void Progress(int percent);

  private:
    QThread* thread_ = nullptr;
    std::uint64_t generation_ = 0;  // counts the jobs started and abandoned
    std::atomic<bool> stop_{false};
    std::atomic<int> percent_{-1};  // the last percent signalled
};

}  // namespace varn
