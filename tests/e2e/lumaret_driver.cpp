// Drives one run of lumaret.exe for the tools: `show` holds the tool open on a file until standard input ends
// (tools/run-lumaret takes its screenshot meanwhile); `bench` times loading and converting a Big5 file.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "LumaretProcess.h"
#include "MainWindow.h"
#include "Polling.h"
#include "ScratchDir.h"
#include "bytes.h"
#include "conversions.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A slow product is measured, not failed at once: the bench waits up to two minutes for each step.
constexpr DWORD kBenchWaitMs = 120000;

// Paints whatever the last handler changed, so that the text is on the screen when this returns.
bool PaintNow(const CMainWindow& window, HWND main) {
  RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return window.Sync(kBenchWaitMs);
}

bool WaitShown(CLumaretProcess& run, const std::string& path) {
  const HWND main = run.WaitForMainWindow(kBenchWaitMs);
  if (!main) return false;
  const CMainWindow window(main);
  const bool loaded =
      path.empty() ? window.DrainPosted()
                   : WaitFor([&] { return window.PathText() == path; }, kBenchWaitMs) && window.Sync(kBenchWaitMs);
  return loaded && PaintNow(window, main);
}

// choice: the item data of the conversion to pick once the file shows; 0 leaves the file as loaded.
int Show(const std::string& exe, const std::string& path, LRESULT choice) {
  CLumaretProcess run(exe, path.empty() ? "" : "\"" + path + "\"");
  if (!WaitShown(run, path)) {
    std::puts("lumaret did not show the file");
    return 1;
  }
  if (choice != 0) {
    const CMainWindow window(run.MainWindow());
    const std::vector<LRESULT> data = window.ChoiceData();
    const auto item = std::find(data.begin(), data.end(), choice);
    if (item == data.end() || !window.Choose(static_cast<int>(item - data.begin()), kBenchWaitMs) ||
        !PaintNow(window, run.MainWindow())) {
      std::puts("lumaret did not convert the file");
      return 1;
    }
  }
  std::puts("shown");
  std::fflush(stdout);
  char line[64];
  while (std::fgets(line, sizeof line, stdin)) {
  }
  CMainWindow(run.MainWindow()).PressEscape();
  return run.WaitForExit(kWaitMs) ? 0 : 1;
}

int Bench(const std::string& exe, const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  std::string expected(2 * bytes.size() + 1, '\0');
  Big5ToGbkSimplified(bytes.c_str(), expected.data());
  CutAtFirstNul(expected);
  std::printf("file: %zu bytes of Big5, %zu bytes of GBK after the conversion\n", bytes.size(), expected.size());

  const double start = Now();
  CLumaretProcess run(exe, "\"" + path + "\"");
  if (!WaitShown(run, path)) {
    std::puts("lumaret did not show the file");
    return 1;
  }
  std::printf("start to file on screen:           %7.3f s\n", Now() - start);
  std::fflush(stdout);
  const CMainWindow window(run.MainWindow());

  // Three rounds of the Big5 choice, each after a return to item 0, so that each converts the whole text (and
  // shows it in the box that showed it before).
  std::vector<double> rounds;
  double slowestReturn = 0;
  for (int round = 0; round < 3; ++round) {
    if (round > 0) {
      const double returning = Now();
      if (!window.Choose(0, kBenchWaitMs) || !PaintNow(window, run.MainWindow())) break;
      slowestReturn = std::max(slowestReturn, Now() - returning);
    }
    const double before = Now();
    if (!window.Choose(1, kBenchWaitMs) || !PaintNow(window, run.MainWindow())) {
      std::printf("conversion and display of the Big5 choice: no answer within %lu s\n", kBenchWaitMs / 1000);
      return 1;
    }
    const double after = Now();
    if (round == 0) std::printf("start to converted text on screen: %7.3f s\n", after - start);
    rounds.push_back(after - before);
    std::printf("conversion and display of the Big5 choice, round %d: %.3f s\n", round + 1, after - before);
    std::fflush(stdout);
  }
  std::sort(rounds.begin(), rounds.end());
  std::printf("conversion and display, median: %.3f s (target: under 1 s)\n", rounds[rounds.size() / 2]);
  std::printf("slowest return to the text as loaded:  %.3f s\n", slowestReturn);
  const bool match = window.BoxText() == expected;
  // The window keeps the box of each text it showed last: a text it has not shown yet is filled afresh.
  const double other = Now();
  if (window.Choose(2, kBenchWaitMs) && PaintNow(window, run.MainWindow())) {
    std::printf("a reading not shown before (item 2):   %.3f s\n", Now() - other);
  }
  std::printf("text box holds the converted text exactly: %s\n", match ? "yes" : "NO");
  CMainWindow(run.MainWindow()).PressEscape();
  run.WaitForExit(kWaitMs);
  return match ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (argc < 3 || (command != "show" && command != "bench") || (command == "bench" && argc < 4)) {
    std::fprintf(stderr,
                 "usage: lumaret_driver show lumaret.exe [file [choice]]\n"
                 "       lumaret_driver bench lumaret.exe big5-file\n");
    return 2;
  }
  const std::string exe = DosPath(argv[2]);
  const std::string file = argc > 3 ? DosPath(argv[3]) : "";
  return command == "show" ? Show(exe, file, argc > 4 ? std::atol(argv[4]) : 0) : Bench(exe, file);
}
