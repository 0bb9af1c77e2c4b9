#include "Console.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

// <chrono> cannot be compiled with GBK as the execution character set.
long long NowMs() {
#ifdef _WIN32
  return static_cast<long long>(GetTickCount64());
#else
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
#endif
}

#ifdef _WIN32
HANDLE HandleOf(int stream) { return GetStdHandle(stream == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE); }

bool IsConsole(int stream) {
  DWORD mode;
  return GetConsoleMode(HandleOf(stream), &mode) != 0;
}
#endif

}  // namespace

Console::Console() {
#ifdef _WIN32
  m_errTerminal = IsConsole(2);
#else
  m_errTerminal = isatty(2) == 1;
#endif
}

Console::~Console() {
  EndProgress();
  Flush();
}

void Console::Out(std::string_view line) {
  m_pending.append(line);
  m_pending += '\n';
  if (m_pending.size() >= kFlushSize) Flush();
}

void Console::Err(std::string_view line) {
  Flush();
  Write(2, std::string(line) + "\n");
}

void Console::Progress(std::size_t done, std::size_t total) {
  if (!m_errTerminal || total <= kProgressFrom) return;
  const long long now = NowMs();
  if (done != total && now - m_lastProgress < 200) return;
  m_lastProgress = now;
  Flush();
  Write(2, "\rlumaret-cli: " + std::to_string(done) + "/" + std::to_string(total) + " files");
  m_progressShown = true;
}

void Console::EndProgress() {
  if (!m_progressShown) return;
  Write(2, "\r" + std::string(40, ' ') + "\r");
  m_progressShown = false;
}

void Console::Flush() {
  if (m_pending.empty()) return;
  Write(1, m_pending);
  m_pending.clear();
}

void Console::Write(int stream, std::string_view text) {
#ifdef _WIN32
  const HANDLE handle = HandleOf(stream);
  if (IsConsole(stream)) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
#else
  while (!text.empty()) {
    const ssize_t written = write(stream, text.data(), text.size());
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
#endif
}

std::string ScoreText(double score) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", score);
  return text;
}
