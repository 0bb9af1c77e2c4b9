#include "CliProcess.h"

#include "SheetTree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

std::vector<std::vector<std::string>> CliResult::Fields(const std::string& output) {
  std::vector<std::vector<std::string>> lines;
  for (std::size_t start = 0; start < output.size();) {
    const std::size_t end = output.find('\n', start);
    const std::string line = output.substr(start, end - start);
    start = end == std::string::npos ? output.size() : end + 1;
    std::vector<std::string> fields;
    for (std::size_t from = 0;;) {
      const std::size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    lines.push_back(fields);
  }
  return lines;
}

#ifdef _WIN32

namespace {

HANDLE Inheritable(const std::wstring& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_TEMPORARY, nullptr);
}

}  // namespace

void CliProcess::SetProgram(const std::string& program) {
  using ToDos = WCHAR*(CDECL*)(const char*);
  const auto toDos = reinterpret_cast<ToDos>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  WCHAR* dos = program.empty() || program[0] != '/' || !toDos ? nullptr : toDos(program.c_str());
  if (dos == nullptr) {
    Program() = program;
    return;
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, dos, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, dos, -1, utf8.data(), size, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  HeapFree(GetProcessHeap(), 0, dos);
  Program() = utf8;
}

CliResult CliProcess::Run(const std::vector<std::string>& args) {
  SheetTree scratch;
  const std::wstring outPath = SheetTree::Wide(scratch.PathOf("out")), errPath = SheetTree::Wide(scratch.PathOf("err"));
  std::wstring line = L"\"" + SheetTree::Wide(Program()) + L"\"";
  for (const std::string& arg : args) line += L" \"" + SheetTree::Wide(arg) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = Inheritable(outPath);
  si.hStdError = Inheritable(errPath);
  PROCESS_INFORMATION pi{};
  CliResult result;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    result.status = static_cast<int>(code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(si.hStdOutput);
  CloseHandle(si.hStdError);
  result.out = scratch.Read("out");
  result.err = scratch.Read("err");
  return result;
}

#else

void CliProcess::SetProgram(const std::string& program) { Program() = program; }

CliResult CliProcess::Run(const std::vector<std::string>& args) {
  SheetTree scratch;
  const std::string outPath = scratch.PathOf("out"), errPath = scratch.PathOf("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv{const_cast<char*>(Program().c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  CliResult result;
  pid_t pid;
  if (posix_spawn(&pid, Program().c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = scratch.Read("out");
  result.err = scratch.Read("err");
  return result;
}

CliResult CliProcess::Run(const std::vector<std::string>& args, const How& how) {
  SheetTree scratch;
  const std::string outPath = how.out.empty() ? scratch.PathOf("out") : how.out, errPath = scratch.PathOf("err");
  std::vector<char*> argv{const_cast<char*>(Program().c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  CliResult result;
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    if (how.uid != 0 && (setgid(how.uid) != 0 || setuid(how.uid) != 0)) _exit(126);
    execv(Program().c_str(), argv.data());
    _exit(127);
  }
  if (pid < 0) return result;
  if (how.signal != 0) {
    const timespec pause{how.afterMs / 1000, (how.afterMs % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
    kill(pid, how.signal);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  if (how.out.empty()) result.out = scratch.Read("out");
  result.err = scratch.Read("err");
  return result;
}
#endif
