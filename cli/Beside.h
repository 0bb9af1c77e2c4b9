// Work beside the main thread, where a second processor can take it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <string>
#include <system_error>
#include <type_traits>

#include "SheetFile.h"
#include "guess.h"

// A text at least this long has work done beside its reading, its conversion or its guess (the guess's models
// built, its losses counted); for a sheet of some kilobytes, starting a thread costs more than the work.
inline constexpr std::size_t kLongText = 1 << 20;

// Runs `work` on a thread of its own when `beside` and the system gives one; otherwise when its result is asked
// for. The future returned waits for the thread when it is dropped.
template <typename Work>
std::future<std::invoke_result_t<Work>> Beside(bool beside, Work work) {
  if (beside) {
    try {
      return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
      // no thread to be had
    }
  }
  return std::async(std::launch::deferred, work);
}

// Reads `file` whole (SheetFile::Load). A long one's guess, or the guard of its conversion, needs the guess's
// models: they are built while it is read.
inline SheetFile::Loaded LoadWithModels(SheetFile& file, std::string& reason) {
  std::future<void> models;
  return file.Load(reason, [&models](std::uint64_t size) { models = Beside(size >= kLongText, PrepareGuess); });
}
