// Worker threads that hand their result to the main loop with g_idle_add.
#include "background.h"

#include <glib.h>

#include <atomic>
#include <memory>
#include <thread>

namespace txads::dialog {
namespace {

std::atomic<int> pending{0};
bool closed = false;  // GUI thread only

struct Delivery {
  std::function<void()> done;
};

gboolean deliver(gpointer data) {
  std::unique_ptr<Delivery> delivery(static_cast<Delivery*>(data));
  --pending;
  if (!closed) delivery->done();
  return G_SOURCE_REMOVE;
}

}  // namespace

void run_in_background(std::function<void()> work, std::function<void()> done) {
  ++pending;
  std::thread([work = std::move(work), done = std::move(done)]() mutable {
    work();
    g_idle_add(deliver, new Delivery{std::move(done)});
  }).detach();
}

int background_pending() {
  return pending.load();
}

void close_background() {
  closed = true;
}

}  // namespace txads::dialog
