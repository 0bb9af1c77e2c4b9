// TextServices::LCMapStringA in both builds: the Traditional/Simplified mapping is our own table, since the
// system's (Wine's in particular) may not map at all.
#include <cstdint>
#include <cstring>

#include "script_table.h"
#include "bytes.h"
#include "text_services.h"

namespace {

// Replacement per double-byte code, 0 where the character stays.
struct ScriptMap {
  // Built in place: the table is too large for a stack.
  ScriptMap(const ScriptPair* pairs, std::size_t count) : to{} {
    for (std::size_t i = 0; i < count; ++i) to[pairs[i].from] = pairs[i].to;
  }

  std::uint16_t to[65536];
};

const ScriptMap& SimplifiedMap() {
  static const ScriptMap map(kToSimplified, kToSimplifiedCount);
  return map;
}

const ScriptMap& TraditionalMap() {
  static const ScriptMap map(kToTraditional, kToTraditionalCount);
  return map;
}

void MapInPlace(const ScriptMap& map, unsigned char* p, std::size_t length) {
  unsigned char* const last = p + length - 1;  // a lead byte here has no trail byte
  while (p < last) {
    if (last - p >= 8 && IsEightAscii(p)) {
      p += 8;
      continue;
    }
    if (!IsGbkLeadByte(*p)) {
      ++p;
      continue;
    }
    if (const unsigned to = map.to[p[0] << 8 | p[1]]) {
      p[0] = static_cast<unsigned char>(to >> 8);
      p[1] = static_cast<unsigned char>(to);
    }
    p += 2;
  }
}

}  // namespace

namespace TextServices {

int LCMapStringA(std::uint32_t locale, std::uint32_t flags, const char* src, int srcLen, char* dst, int dstBytes) {
  // Both Chinese PRC locales (any sort order) have GBK as their code page; other locales' bytes are not GBK.
  if ((locale & 0xFFFF) != kLocaleChinesePrc) return 0;
  const ScriptMap* map = nullptr;
  if (flags == kMapSimplifiedChinese) {
    map = &SimplifiedMap();
  } else if (flags == kMapTraditionalChinese) {
    map = &TraditionalMap();
  } else {
    return 0;
  }
  if (src == nullptr || srcLen == 0 || srcLen < -1 || dstBytes < 0) return 0;
  const std::size_t length = srcLen == -1 ? std::strlen(src) + 1 : static_cast<std::size_t>(srcLen);
  if (length > static_cast<std::size_t>(INT32_MAX)) return 0;
  if (dstBytes == 0) return static_cast<int>(length);
  if (dst == nullptr || static_cast<std::size_t>(dstBytes) < length) return 0;
  std::memmove(dst, src, length);
  MapInPlace(*map, reinterpret_cast<unsigned char*>(dst), length);
  return static_cast<int>(length);
}

}  // namespace TextServices
