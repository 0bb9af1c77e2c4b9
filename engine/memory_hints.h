// Hints to the system about large buffers, for the pages a virtual machine is slow to fault in one at a time
// (about 2 us a page here): for a 16 MB sheet, its text, its result and their faults cost a sixth of the
// conversion. Linux takes them; elsewhere they do nothing, and a hint the system refuses changes nothing but
// the time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace memory_hints {

// Gives `advice` for the whole blocks of `block` bytes that [begin, begin + bytes) holds.
inline void AdviseWholeBlocks([[maybe_unused]] const void* begin, [[maybe_unused]] std::size_t bytes,
                              [[maybe_unused]] std::uintptr_t block, [[maybe_unused]] int advice) {
#if defined(__linux__)
  const auto at = reinterpret_cast<std::uintptr_t>(begin);
  const std::uintptr_t first = (at + block - 1) & ~(block - 1), last = (at + bytes) & ~(block - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, advice);
#endif
}

}  // namespace memory_hints

// Asks for the whole pages of a large array to be mapped at once, where its use would fault in most of them
// anyway (a short text's guess in a zeroed table, a conversion's scratch it reuses whole). A system without the
// request maps them as they are touched.
inline void MapAtOnce(void* array, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  constexpr std::size_t kLarge = 64 * 1024;
  if (bytes >= kLarge) memory_hints::AdviseWholeBlocks(array, bytes, 4096, MADV_POPULATE_WRITE);
#else
  (void)array;
  (void)bytes;
#endif
}

// Asks for pages of 2 MB (Linux's transparent huge pages in "madvise" mode) for `text`'s room, and for the room to
// be mapped at once: the pages before the first 2 MB boundary and after the last would otherwise fault one by
// one. Call after reserving the room, as much as will be written, and before writing to it.
inline void PreferLargePages(std::string& text) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  memory_hints::AdviseWholeBlocks(text.data(), text.capacity(), std::uintptr_t{2} << 20, MADV_HUGEPAGE);
#endif
  MapAtOnce(text.data(), text.capacity());
}
