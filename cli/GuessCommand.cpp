#include "GuessCommand.h"

#include "Paths.h"
#include "SheetFile.h"
#include "guess.h"
#include "repair.h"

int GuessCommand::Run() {
  std::vector<NativePath> files;
  std::vector<std::pair<NativePath, std::string>> unreadable;
  std::string error;
  if (!Paths::Gather(m_options.paths, m_options.recursive, files, unreadable, error)) {
    m_console.Err("lumaret-cli: " + error);
    return 2;
  }
  int status = 0;
  for (const auto& [folder, reason] : unreadable) {
    m_console.Err("lumaret-cli: " + Paths::Display(folder) + ": " + reason);
    status = 1;
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    m_console.Progress(i, files.size());
    const NativePath& path = files[i];
    SheetFile file(path);
    std::string reason;
    if (!file.Load(reason)) {
      m_console.Err("lumaret-cli: " + Paths::Display(path) + ": " + reason);
      status = 1;
      continue;
    }
    const Guess guess = GuessCause(std::string_view(file.Bytes()));
    const Candidate& best = guess.ranked.front();
    // A NUL character means binary data, which no cause repairs; UTF-16's NUL bytes are part of its characters.
    if (HoldsNul(file.Bytes(), best.cause)) {
      m_console.Out("unknown\t1.00\t" + Paths::Display(path));
      continue;
    }
    m_console.Out(std::string(CauseName(best.cause)) + "\t" + ScoreText(best.score) + "\t" + Paths::Display(path));
  }
  m_console.EndProgress();
  return status;
}
