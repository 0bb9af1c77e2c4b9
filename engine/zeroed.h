// Arrays that come zeroed from the system, for tables filled as texts need them: clearing an array first would
// write every page of it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

#include "memory_hints.h"

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};

template <typename T>
using ZeroedArray = std::unique_ptr<T[], FreeDeleter>;

template <typename T>
ZeroedArray<T> MakeZeroed(std::size_t count) {
  static_assert(std::is_trivial_v<T>);
  T* zeroed = static_cast<T*>(std::calloc(count, sizeof(T)));
  if (zeroed == nullptr) throw std::bad_alloc();
  MapAtOnce(zeroed, count * sizeof(T));
  return ZeroedArray<T>(zeroed);
}

// Flags, a bit each, that threads read without a lock and set, never clear, under one: a flag set with release
// order is seen with acquire order together with what was written before it.
inline bool FlagIsSet(const ZeroedArray<std::uint64_t>& flags, unsigned index) {
  return std::atomic_ref<std::uint64_t>(flags[index >> 6]).load(std::memory_order_acquire) >> (index & 63) & 1;
}
inline void SetFlag(const ZeroedArray<std::uint64_t>& flags, unsigned index) {
  std::atomic_ref<std::uint64_t>(flags[index >> 6])
      .fetch_or(std::uint64_t{1} << (index & 63), std::memory_order_release);
}
