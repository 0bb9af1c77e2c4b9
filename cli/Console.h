// Standard output and error. Lines are UTF-8, each written as soon as it is made; on a Windows console they are
// written as UTF-16, so every name shows. The progress line goes to standard error, and only to a terminal.
// A failed write to standard output (a full disk, a closed pipe) is kept, for the command to stop on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kProgressFrom = 300;

// The exit status of a run that stopped with `left` files not looked at: 2 with a message when standard output
// failed, 130 when a stop was asked for, else `status`.
int Finished(class Console& console, std::size_t left, int status);

// A guess's score as the output lines show it: two decimals.
std::string ScoreText(double score);

class Console {
 public:
  Console();
  ~Console();

  void Out(std::string_view line);
  void Err(std::string_view line);
  // Shows "done/total" on the terminal at most a few times a second, for runs of more than kProgressFrom files;
  // nothing when standard error is a pipe.
  void Progress(std::size_t done, std::size_t total);
  void EndProgress();
  bool ErrIsTerminal() const { return m_errTerminal; }
  // Why standard output could not be written, or empty.
  const std::string& OutError() const { return m_outError; }

 private:
  bool Write(int stream, std::string_view text);

  std::string m_outError;
  bool m_errTerminal = false;
  bool m_progressShown = false;
  long long m_lastProgress = 0;
};
