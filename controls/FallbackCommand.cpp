#include "FallbackCommand.h"

#include <windows.h>

#include <cstring>

namespace {

// The first occurrence of needle that starts on a character of the ANSI code page, never on a trail byte.
const char* FindOnCharacter(const char* text, const char* needle) {
  const std::size_t n = std::strlen(needle);
  for (const char* p = text; *p; p += (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) ? 2 : 1) {
    if (std::strncmp(p, needle, n) == 0) return p;
  }
  return nullptr;
}

}  // namespace

bool BuildFallbackCommand(const char* command, const char* url, char* out, std::size_t size) {
  if (size == 0) return false;
  const char* end = FindOnCharacter(command, "\"%1\"");
  if (!end) end = FindOnCharacter(command, "%1");
  const std::size_t kept = end ? static_cast<std::size_t>(end - command) : std::strlen(command);
  const std::size_t urlLength = std::strlen(url);
  if (kept + 1 + urlLength + 1 > size) {
    out[0] = '\0';
    return false;
  }
  std::memcpy(out, command, kept);
  out[kept] = ' ';
  std::memcpy(out + kept + 1, url, urlLength + 1);
  return true;
}
