#include "app/termination_signals.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <mutex>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <utility>

#if defined(_WIN32)

// Windows ends a desktop program by closing its window, which the toolkit delivers as a close
// event; there are no termination signals to wait for.
void BlockTerminationSignals() {}
TerminationSignals::TerminationSignals(std::function<void()>) {}
TerminationSignals::~TerminationSignals() = default;

#else

#include <pthread.h>

namespace {

// How long the user-interface thread may take to close the connection before the process
// ends without it.
constexpr auto kGracePeriod = std::chrono::milliseconds(1500);

sigset_t TerminationSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  return set;
}

// Set while the watcher is in place; after that a signal ends the process directly. The mutex
// keeps the application object alive while a signal is being handed to it.
std::mutex watching_mutex;
bool watching = false;

void WaitAndEnd(std::function<void()> closeConnection) {
  const sigset_t set = TerminationSet();
  int signal = 0;
  while (sigwait(&set, &signal) != 0) {
  }
  const int status = 128 + signal;
  bool handed = false;
  {
    const std::lock_guard<std::mutex> lock(watching_mutex);
    if (watching && QCoreApplication::instance()) {
      QMetaObject::invokeMethod(
          QCoreApplication::instance(),
          [closeConnection = std::move(closeConnection), status] {
            closeConnection();
            std::_Exit(status);
          },
          Qt::QueuedConnection);
      handed = true;
    }
  }
  if (handed) std::this_thread::sleep_for(kGracePeriod);
  std::_Exit(status);
}

}  // namespace

void BlockTerminationSignals() {
  const sigset_t set = TerminationSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TerminationSignals::TerminationSignals(std::function<void()> closeConnection) {
  {
    const std::lock_guard<std::mutex> lock(watching_mutex);
    watching = true;
  }
  // Detached: it spends its life in sigwait and never touches anything the program tears down
  // on a normal exit.
  std::thread(WaitAndEnd, std::move(closeConnection)).detach();
}

TerminationSignals::~TerminationSignals() {
  const std::lock_guard<std::mutex> lock(watching_mutex);
  watching = false;
}

#endif
