// Waiting on another process without fixed sleeps: a condition is polled until it holds or time runs out.
#pragma once

#include <windows.h>

#include <functional>

// Generous, because five people share two cores and every step crosses the wine server.
inline constexpr DWORD kWaitMs = 20000;

// Polls every 10 ms; true once the condition holds, false when the time ran out first.
inline bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(10);
  }
}
