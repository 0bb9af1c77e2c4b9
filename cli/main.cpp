// lumaret-cli: repairs a collection of garbled CUE sheets from the command line, with the engine of the dialog.
#include <vector>

#include "Console.h"
#include "ConvertCommand.h"
#include "GuessCommand.h"
#include "Interrupt.h"
#include "Options.h"

namespace {

int Run(const std::vector<NativePath>& args) {
  Interrupt::Install();
  Console console;
  Options options;
  std::string error;
  if (!Options::Parse(args, options, error)) {
    console.Err("lumaret-cli: " + error);
    console.Err("Try 'lumaret-cli --help'.");
    return 2;
  }
  switch (options.command) {
    case Options::Command::kHelp:
      console.Out(Options::HelpText());
      return 0;
    case Options::Command::kVersion:
      console.Out("lumaret-cli " LUMARET_VERSION);
      return 0;
    case Options::Command::kGuess:
      return GuessCommand(options, console).Run();
    case Options::Command::kConvert:
      return ConvertCommand(options, console).Run();
  }
  return 2;
}

}  // namespace

// Wide arguments on Windows, so that names outside the ANSI code page arrive whole.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return Run(std::vector<NativePath>(argv + 1, argv + argc)); }
#else
int main(int argc, char** argv) { return Run(std::vector<NativePath>(argv + 1, argv + argc)); }
#endif
