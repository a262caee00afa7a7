// A fixed set of detached workers on one FIFO queue; results go back to the
// main loop with g_idle_add.
#include "background.h"

#include <glib.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace txads::dialog {
namespace {

struct Job {
  std::function<void()> work;
  std::function<void()> done;
};

// Lives as long as the process: workers still blocked in a read when the
// process ends must not find it destroyed.
struct Queue {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<Job> jobs;
  int workers = 0;
};

Queue& queue() {
  static Queue* const shared = new Queue;
  return *shared;
}

std::atomic<int> pending{0};
std::atomic<bool> closed{false};

gboolean deliver(gpointer data) {
  std::unique_ptr<Job> job(static_cast<Job*>(data));
  --pending;
  if (!closed) job->done();
  return G_SOURCE_REMOVE;
}

void work_forever() {
  Queue& q = queue();
  for (;;) {
    Job job;
    {
      std::unique_lock lock(q.mutex);
      q.ready.wait(lock, [&] { return !q.jobs.empty(); });
      job = std::move(q.jobs.front());
      q.jobs.pop_front();
    }
    if (closed) continue;
    job.work();
    job.work = nullptr;
    g_idle_add(deliver, new Job(std::move(job)));
  }
}

}  // namespace

void run_in_background(std::function<void()> work, std::function<void()> done) {
  if (closed) return;
  ++pending;
  Queue& q = queue();
  {
    std::lock_guard lock(q.mutex);
    q.jobs.push_back({std::move(work), std::move(done)});
    if (q.workers < kWorkers) {
      ++q.workers;
      std::thread(work_forever).detach();
    }
  }
  q.ready.notify_one();
}

int background_pending() {
  return pending.load();
}

void close_background() {
  closed = true;
  Queue& q = queue();
  std::lock_guard lock(q.mutex);
  pending -= static_cast<int>(q.jobs.size());
  q.jobs.clear();
}

}  // namespace txads::dialog
