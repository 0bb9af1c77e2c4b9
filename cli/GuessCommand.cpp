#include "GuessCommand.h"

#include "Beside.h"
#include "Interrupt.h"
#include "Paths.h"
#include "SheetFile.h"
#include "guess.h"
#include "repair.h"

int GuessCommand::Run() {
  std::vector<NativePath> files;
  Paths::Reasons unreadable, passedOver;
  std::string error;
  if (!Paths::Gather(m_options.paths, m_options.recursive, files, unreadable, passedOver, error)) {
    m_console.Err("lumaret-cli: " + error);
    return 2;
  }
  int status = 0;
  for (const auto& [folder, reason] : unreadable) {
    m_console.Err("lumaret-cli: " + Paths::Display(folder) + ": " + reason);
    status = 1;
  }
  for (const auto& [path, reason] : passedOver) m_console.Err("lumaret-cli: " + Paths::Display(path) + ": " + reason);
  std::size_t done = 0;
  for (; done < files.size() && !Interrupt::Requested() && m_console.OutError().empty(); ++done) {
    m_console.Progress(done, files.size());
    const NativePath& path = files[done];
    SheetFile file(path);
    std::string reason;
    const SheetFile::Loaded loaded = LoadWithModels(file, reason);
    if (loaded != SheetFile::Loaded::kYes) {
      m_console.Err("lumaret-cli: " + Paths::Display(path) + ": " + reason);
      if (loaded == SheetFile::Loaded::kFailed) status = 1;
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
  return Finished(m_console, files.size() - done, status);
}
