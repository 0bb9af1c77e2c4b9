// Windows backend: the system's own code-page services (LCMapStringA is ours, in script_map.cpp).
#include <windows.h>

#include "text_services.h"

namespace TextServices {

int MultiByteToWideChar(unsigned codePage, std::uint32_t flags, const char* src, int srcLen, char16_t* dst,
                        int dstUnits) {
  return ::MultiByteToWideChar(codePage, flags, src, srcLen, reinterpret_cast<LPWSTR>(dst), dstUnits);
}

int WideCharToMultiByte(unsigned codePage, std::uint32_t flags, const char16_t* src, int srcLen, char* dst,
                        int dstBytes) {
  return ::WideCharToMultiByte(codePage, flags, reinterpret_cast<LPCWSTR>(src), srcLen, dst, dstBytes, nullptr,
                               nullptr);
}

bool IsValidCodePage(unsigned codePage) { return ::IsValidCodePage(codePage) != FALSE; }

bool IsDBCSLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

bool IsDBCSLeadByteEx(unsigned codePage, unsigned char byte) { return ::IsDBCSLeadByteEx(codePage, byte) != FALSE; }

int lstrlenA(const char* s) { return ::lstrlenA(s); }

char* lstrcpyA(char* dst, const char* src) { return ::lstrcpyA(dst, src); }

int lstrcmpA(const char* a, const char* b) { return ::lstrcmpA(a, b); }

}  // namespace TextServices
