// Native backend: the code-page services over tables built from ICU, behaving as Windows does.
#include <cstring>

#include "code_page_table.h"
#include "bytes.h"
#include "text_services.h"
#include "unicode_code_pages.h"

namespace TextServices {

namespace {

std::size_t TerminatedLength(const char* src) { return std::strlen(src); }

std::size_t TerminatedLength(const char16_t* src) {
  // Four units a round: several times faster than one, and never reads past the terminator.
  for (std::size_t n = 0;; n += 4) {
    if (src[n] == 0) return n;
    if (src[n + 1] == 0) return n + 1;
    if (src[n + 2] == 0) return n + 2;
    if (src[n + 3] == 0) return n + 3;
  }
}

// The source length per the -1 rule, or 0 when the arguments are invalid.
template <typename Unit>
std::size_t SourceLength(const Unit* src, int srcLen) {
  if (src == nullptr || srcLen < -1) return 0;
  return srcLen == -1 ? TerminatedLength(src) + 1 : static_cast<std::size_t>(srcLen);
}

}  // namespace

int MultiByteToWideChar(unsigned codePage, std::uint32_t flags, const char* src, int srcLen, char16_t* dst,
                        int dstUnits) {
  const std::size_t length = SourceLength(src, srcLen);
  if (!IsValidCodePage(codePage) || flags != 0 || length == 0 || dstUnits < 0 || (dstUnits > 0 && dst == nullptr)) {
    return 0;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(src);
  if (codePage == kCodePageUtf8) return UnicodeCodePages::DecodeUtf8(bytes, length, dst, dstUnits);
  if (codePage == kCodePageWestern) return UnicodeCodePages::DecodeWestern(bytes, length, dst, dstUnits);
  return CodePageTable::For(codePage)->Decode(bytes, length, dst, dstUnits);
}

int WideCharToMultiByte(unsigned codePage, std::uint32_t flags, const char16_t* src, int srcLen, char* dst,
                        int dstBytes) {
  const std::size_t length = SourceLength(src, srcLen);
  if (!IsValidCodePage(codePage) || flags != 0 || length == 0 || dstBytes < 0 || (dstBytes > 0 && dst == nullptr)) {
    return 0;
  }
  if (codePage == kCodePageUtf8) return UnicodeCodePages::EncodeUtf8(src, length, dst, dstBytes);
  // The engine never encodes to 1252, so this build only decodes it.
  if (codePage == kCodePageWestern) return 0;
  return CodePageTable::For(codePage)->Encode(src, length, dst, dstBytes);
}

bool IsValidCodePage(unsigned codePage) {
  return codePage == kCodePageUtf8 || codePage == kCodePageWestern || CodePageTable::For(codePage) != nullptr;
}

bool IsDBCSLeadByte(unsigned char byte) { return IsGbkLeadByte(byte); }

bool IsDBCSLeadByteEx(unsigned codePage, unsigned char byte) {
  const CodePageTable* table = CodePageTable::For(codePage);
  return table != nullptr && table->IsLeadByte(byte);
}

int lstrlenA(const char* s) { return s == nullptr ? 0 : static_cast<int>(std::strlen(s)); }

char* lstrcpyA(char* dst, const char* src) { return std::strcpy(dst, src); }

int lstrcmpA(const char* a, const char* b) {
  const int order = std::strcmp(a, b);
  return (order > 0) - (order < 0);
}

}  // namespace TextServices
