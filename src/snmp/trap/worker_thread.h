// A platform thread with run states: created suspended, started later,
// cancelled by a flag that its loop reads. The trap session and its observer
// invoker each run on one.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <semaphore>
#include <thread>

#include "result_codes.h"

namespace orv {

class WorkerThread {
 public:
  enum RunState : int32_t {
    kSuspended = 0,        // created, waiting for start()
    kNotCreated = 1,
    kCancelRequested = 2,
    kRunning = 3,
    kPaused = 4,           // only marked; cancel() resumes it
  };

  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Creates the thread suspended: it waits at a gate until start(). -3 when
  // the platform cannot make it, -2 when it exists already.
  Result create();
  // From kSuspended only: opens the gate and marks kRunning. -2 otherwise.
  Result start();
  // Once: marks kCancelRequested and sets the cancelled flag.
  void cancel();
  // Waits without limit for the thread's end. A thread that was never
  // started is let go without running its body, so this never hangs on it.
  void join();
  bool is_cancelled() const;
  RunState run_state() const;
  // True when called on this object's own thread.
  bool on_own_thread() const;

 protected:
  WorkerThread() = default;
  // Derived classes call join() (after whatever makes run() end) in their
  // own destructor, before their members go; this one only checks.
  virtual ~WorkerThread();

  // The thread's body.
  virtual void run() = 0;

 private:
  void body();

  mutable std::mutex mutex_;  // run state, cancelled flag, started
  RunState state_ = kNotCreated;
  bool cancelled_ = false;
  bool started_ = false;
  std::binary_semaphore gate_{0};
  std::thread thread_;
  std::thread::id id_;  // under mutex_: thread_ changes while it is joined
  std::mutex join_mutex_;  // one joiner at a time
};

}  // namespace orv
