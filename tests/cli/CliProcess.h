// Runs the built lumaret-cli as a process of its own, its standard output and error caught whole.
#pragma once

#include <string>
#include <vector>

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;

  // Each line of an output split at its TABs.
  static std::vector<std::vector<std::string>> Fields(const std::string& output);
};

class CliProcess {
 public:
  // The program's path, from the test's command line (under Wine a Linux path, taken to its DOS form).
  static void SetProgram(const std::string& program);
  // Arguments in UTF-8 (on Windows passed as UTF-16, so names outside the code page arrive whole).
  static CliResult Run(const std::vector<std::string>& args);
#ifndef _WIN32
  // Natively, run as another program would be: standard output to `out` (such as /dev/full), as the user `uid`
  // (0: ourselves), and sent `signal` once `afterMs` have passed (0: none).
  struct How {
    std::string out;
    unsigned uid = 0;
    int signal = 0;
    int afterMs = 0;
  };
  static CliResult Run(const std::vector<std::string>& args, const How& how);
#endif

 private:
  static std::string& Program() {
    static std::string program;
    return program;
  }
};
