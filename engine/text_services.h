// The platform's code-page and locale operations, as the engine calls them.
// The Windows build forwards to the system (Win32 NLS); the native build keeps the same contracts over tables
// built from ICU and adapted to Windows' (decoding 932, 936, 949, 950, 20932, 1250, 1251, 1253-1255, 1257,
// 20866 and 28592; encoding 936 and 950), and computes 65001 (both ways) and 1252 (decoding only) as Wine
// does; flags 0 only.
// The Traditional/Simplified mapping is our own table in both builds.
#pragma once

#include <cstdint>

namespace TextServices {

inline constexpr unsigned kCodePageShiftJis = 932;
inline constexpr unsigned kCodePageGbk = 936;
inline constexpr unsigned kCodePageBig5 = 950;
inline constexpr unsigned kCodePageWestern = 1252;
inline constexpr unsigned kCodePageUtf8 = 65001;

inline constexpr std::uint32_t kLocaleChinesePrc = 0x0804;
inline constexpr std::uint32_t kLocaleChinesePrcSort = 0x20804;  // SORT_CHINESE_PRC
inline constexpr std::uint32_t kMapSimplifiedChinese = 0x02000000;
inline constexpr std::uint32_t kMapTraditionalChinese = 0x04000000;

// srcLen -1: NUL-terminated source, terminator converted and counted. dstUnits/dstBytes 0: size query.
// Results: units or bytes written (or needed); 0 on failure, also when the output does not fit.
int MultiByteToWideChar(unsigned codePage, std::uint32_t flags, const char* src, int srcLen, char16_t* dst,
                        int dstUnits);
int WideCharToMultiByte(unsigned codePage, std::uint32_t flags, const char16_t* src, int srcLen, char* dst,
                        int dstBytes);
// GBK to GBK for the Chinese PRC locales: kMapSimplifiedChinese or kMapTraditionalChinese changes mapped
// double-byte characters and keeps every other byte, so the length stays.
int LCMapStringA(std::uint32_t locale, std::uint32_t flags, const char* src, int srcLen, char* dst, int dstBytes);
bool IsValidCodePage(unsigned codePage);
bool IsDBCSLeadByte(unsigned char byte);  // of the ANSI code page, GBK
// Whether the byte takes the byte after it into one character in that code page; false for an invalid one.
bool IsDBCSLeadByteEx(unsigned codePage, unsigned char byte);

int lstrlenA(const char* s);
char* lstrcpyA(char* dst, const char* src);
int lstrcmpA(const char* a, const char* b);

}  // namespace TextServices
