// Directory reads off the GUI thread: the work runs on a thread of its own,
// its result is handed back on the GUI thread (from the main loop), so the
// window is never blocked by a slow directory. Threads are not joined: the
// process ends right after its reply, whether or not a read finished.
#pragma once

#include <functional>

namespace txads::dialog {

// Runs `work` on a new thread, then `done` on the GUI thread. `done` is
// dropped when the dialogs closed meanwhile (see close_background()).
// Call on the GUI thread.
void run_in_background(std::function<void()> work, std::function<void()> done);

// How many reads have started and not yet delivered their result.
int background_pending();

// Drops every result still to come. GUI thread only.
void close_background();

}  // namespace txads::dialog
