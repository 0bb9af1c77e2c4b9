// The controls' test program. Started with --record <file> it only writes its own command line to the file:
// the hyperlink fallback test runs it as the "browser" that the registry names.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/Afx.h"

CWinApp theApp;

namespace {

int RecordCommandLine(const char* path) {
  const std::string partial = std::string(path) + ".part";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (!file) return 1;
  std::fputs(::GetCommandLineA(), file);
  std::fclose(file);
  return ::MoveFileA(partial.c_str(), path) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--record") == 0) return RecordCommandLine(argv[2]);
  theApp.SetInstance(::GetModuleHandleA(nullptr), ::GetCommandLineA(), SW_SHOWNORMAL);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
