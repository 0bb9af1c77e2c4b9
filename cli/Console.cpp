#include "Console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "SystemError.h"
#else
#include <time.h>
#include <unistd.h>
#endif

namespace {

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

Console::~Console() { EndProgress(); }

void Console::Out(std::string_view line) {
  // After the first failure nothing more is tried: the reason stays the first one.
  if (!m_outError.empty()) return;
  if (m_progressShown) EndProgress();
  if (!Write(1, std::string(line) + "\n")) {
#ifdef _WIN32
    m_outError = SystemError::Describe(GetLastError());
#else
    m_outError = std::strerror(errno);
#endif
  }
}

void Console::Err(std::string_view line) {
  if (m_progressShown) EndProgress();
  Write(2, std::string(line) + "\n");
}

void Console::Progress(std::size_t done, std::size_t total) {
  if (!m_errTerminal || total <= kProgressFrom) return;
  const long long now = NowMs();
  if (done != total && now - m_lastProgress < 200) return;
  m_lastProgress = now;
  Write(2, "\rlumaret-cli: " + std::to_string(done) + "/" + std::to_string(total) + " files");
  m_progressShown = true;
}

void Console::EndProgress() {
  if (!m_progressShown) return;
  Write(2, "\r" + std::string(40, ' ') + "\r");
  m_progressShown = false;
}

bool Console::Write(int stream, std::string_view text) {
#ifdef _WIN32
  const HANDLE handle = HandleOf(stream);
  if (IsConsole(stream)) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
    DWORD written = 0;
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
  }
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written == 0) {
      return false;
    }
    text.remove_prefix(written);
  }
#else
  while (!text.empty()) {
    const ssize_t written = write(stream, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
#endif
  return true;
}

std::string ScoreText(double score) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", score);
  return text;
}

int Finished(Console& console, std::size_t left, int status) {
  if (!console.OutError().empty()) {
    console.Err("lumaret-cli: cannot write the output: " + console.OutError());
    return 2;
  }
  if (left > 0) {
    console.Err("lumaret-cli: stopped; " + std::to_string(left) + (left == 1 ? " file was" : " files were") +
                " not looked at");
    return 130;
  }
  return status;
}
