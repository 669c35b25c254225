#include "snmp/trap/worker_thread.h"

#include <system_error>

namespace orv {

WorkerThread::~WorkerThread() { join(); }

Result WorkerThread::create() {
  std::lock_guard lock(mutex_);
  if (state_ != kNotCreated) return kErrInvalidArg;
  try {
    thread_ = std::thread([this] { body(); });
  } catch (const std::system_error&) {
    return kErrNoMemory;
  }
  id_ = thread_.get_id();
  state_ = kSuspended;
  return kOk;
}

void WorkerThread::body() {
  gate_.acquire();
  bool started;
  {
    std::lock_guard lock(mutex_);
    started = started_;
  }
  if (started) run();
}

Result WorkerThread::start() {
  {
    std::lock_guard lock(mutex_);
    if (state_ != kSuspended) return kErrInvalidArg;
    state_ = kRunning;
    started_ = true;
  }
  gate_.release();
  return kOk;
}

void WorkerThread::cancel() {
  std::lock_guard lock(mutex_);
  if (cancelled_) return;
  cancelled_ = true;
  if (state_ != kNotCreated) state_ = kCancelRequested;
}

void WorkerThread::join() {
  std::lock_guard joining(join_mutex_);
  if (!thread_.joinable()) return;
  bool let_go = false;
  {
    std::lock_guard lock(mutex_);
    if (!started_) {
      // Never started: open the gate once; body() sees started_ false.
      let_go = true;
      state_ = kCancelRequested;
      cancelled_ = true;
    }
  }
  if (let_go) gate_.release();
  thread_.join();
}

bool WorkerThread::is_cancelled() const {
  std::lock_guard lock(mutex_);
  return cancelled_;
}

bool WorkerThread::on_own_thread() const {
  std::lock_guard lock(mutex_);
  return id_ == std::this_thread::get_id();
}

WorkerThread::RunState WorkerThread::run_state() const {
  std::lock_guard lock(mutex_);
  return state_;
}

}  // namespace orv
