// Standard output and error. Lines are UTF-8 (natively the bytes as given); on a Windows console they are
// written as UTF-16, so every name shows. The progress line goes to standard error, and only to a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kProgressFrom = 300;

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

 private:
  void Write(int stream, std::string_view text);
  void Flush();

  std::string m_pending;  // standard output, written in large pieces
  bool m_errTerminal = false;
  bool m_progressShown = false;
  long long m_lastProgress = 0;
};
