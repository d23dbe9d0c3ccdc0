// Ending the program on SIGTERM, SIGINT or SIGHUP (a logout, a shutdown, Ctrl+C in a
// terminal), whatever it is doing at that moment: idle, connected, a box or dialog up, a save
// or a posting under way.
//
// The signals are blocked in every thread and taken by one thread of our own that waits for
// them, so no library that installs handlers of its own (the embedded database engine does)
// can swallow them or act on them from an arbitrary thread. On a signal the user-interface
// thread closes the database connection (the database rolls back a transaction under way) and
// the process ends at once with status 128 + the signal: nothing further runs, so nothing
// further is saved. When the user-interface thread is held in a long database call, the
// process ends without waiting for it after a short grace period; the database then rolls back
// what that call had begun.
#pragma once

#include <functional>

// Blocks the termination signals in the calling thread and so in every thread started after
// it. REQUIRES: called first in main, before any other thread exists.
void BlockTerminationSignals();

// Waits for the termination signals for its lifetime. `closeConnection` runs on the
// user-interface thread when one arrives; it must not throw. REQUIRES: a QCoreApplication
// exists and BlockTerminationSignals() was called.
class TerminationSignals {
 public:
  explicit TerminationSignals(std::function<void()> closeConnection);
  ~TerminationSignals();

  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;
};
