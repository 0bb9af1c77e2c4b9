// Arrays that come zeroed from the system, for tables filled as texts need them: the pages a process never
// touches cost it nothing, where clearing an array first would fault every page of it in.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

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
  return ZeroedArray<T>(zeroed);
}
