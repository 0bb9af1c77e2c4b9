// Work beside the main thread, where a second processor can take it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <system_error>
#include <type_traits>

#include "SheetFile.h"
#include "guess.h"

// A text at least this long has work done beside its reading, its conversion or its guess (the guess's models
// built, its losses counted); for a sheet of some kilobytes, starting a thread costs more than the work.
inline constexpr std::size_t kLongText = 1 << 20;

// The result of `Work`: computed on a thread of its own where Beside started one, otherwise when first asked for,
// and never if it is not. Dropping it waits for the thread. Work done in place costs no shared state: a deferred
// std::future would cost a few system calls for each sheet of a collection.
template <typename Work>
class Later {
 public:
  using Result = std::invoke_result_t<Work>;

  Later() = default;  // holds no work: only to be assigned one
  Later(bool beside, Work work) {
    if (beside) {
      try {
        m_thread = std::async(std::launch::async, work);
        return;
      } catch (const std::system_error&) {
        // no thread to be had
      }
    }
    m_work.emplace(std::move(work));
  }

  Result get() { return m_thread.valid() ? m_thread.get() : (*m_work)(); }

 private:
  std::optional<Work> m_work;
  std::future<Result> m_thread;
};

// Runs `work` on a thread of its own when `beside` and the system gives one; otherwise when its result is asked
// for.
template <typename Work>
Later<Work> Beside(bool beside, Work work) {
  return Later<Work>(beside, std::move(work));
}

// Reads `file` whole (SheetFile::Load). A long one's guess, or the guard of its conversion, needs the guess's
// models: they are built while it is read.
inline SheetFile::Loaded LoadWithModels(SheetFile& file, std::string& reason) {
  Later<void (*)()> models;
  return file.Load(reason, [&models](std::uint64_t size) { models = Beside(size >= kLongText, &PrepareGuess); });
}
