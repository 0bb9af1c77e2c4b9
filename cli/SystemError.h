// The system's own words for a failure, as UTF-8 for the output lines (Windows only: natively strerror does it).
#pragma once

#include <string>
#include <string_view>

class SystemError {
 public:
  static std::string Describe(unsigned long code);
  static std::string Utf8(std::wstring_view text);
};
