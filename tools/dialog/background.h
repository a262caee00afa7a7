// Directory reads off the GUI thread: a few worker threads, shared by both
// dialogs, take the reads in the order they were asked for; each result is
// handed back on the GUI thread (from the main loop), so the window is never
// blocked by a slow directory, and a branch with hundreds of children starts
// no more than kWorkers reads at a time. Workers are never joined: the process
// ends right after its reply, whether or not a read finished.
#pragma once

#include <functional>

namespace txads::dialog {

// Reads that run at once; the others wait their turn.
inline constexpr int kWorkers = 4;

// Queues `work` for a worker, then runs `done` on the GUI thread. Both are
// dropped when the dialogs closed meanwhile (see close_background()).
// Call on the GUI thread.
void run_in_background(std::function<void()> work, std::function<void()> done);

// How many reads are queued, running or waiting to deliver their result.
int background_pending();

// Drops every read not yet started and every result still to come. GUI
// thread only.
void close_background();

}  // namespace txads::dialog
