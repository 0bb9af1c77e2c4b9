#include "Interrupt.h"

#include <csignal>
#include <initializer_list>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

volatile std::sig_atomic_t g_requested = 0;

#ifdef _WIN32
BOOL WINAPI OnControl(DWORD) {
  g_requested = 1;
  return TRUE;
}
#else
void OnSignal(int) { g_requested = 1; }
#endif

}  // namespace

namespace Interrupt {

void Install() {
#ifdef _WIN32
  SetConsoleCtrlHandler(OnControl, TRUE);
#else
  // No SA_RESTART: a read or write under way returns early and is retried by its loop, never lost.
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

bool Requested() { return g_requested != 0; }

}  // namespace Interrupt
