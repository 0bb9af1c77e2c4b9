#include "Paths.h"

namespace {

// The length of the well-formed UTF-8 character at s[i], 0 when there is none.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t length;
  unsigned least, value;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2, least = 0x80, value = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, least = 0x800, value = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, least = 0x10000, value = b & 0x07;
  } else {
    return 0;
  }
  if (s.size() - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    value = value << 6 | (c & 0x3F);
  }
  const bool surrogate = value >= 0xD800 && value < 0xE000;
  return value < least || value > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

std::string Paths::Quoted(std::string_view bytes) {
  std::string out;
  bool quote = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b >= 0x80) {
      if (const std::size_t length = Utf8Length(bytes, i)) {
        out.append(bytes.substr(i, length));
        i += length;
        continue;
      }
    }
    ++i;
    const char* named = b == '\t' ? "\\t" : b == '\n' ? "\\n" : b == '\r' ? "\\r" : b == '"' ? "\\\"" : nullptr;
    if (named != nullptr) {
      out += named;
      quote = true;
    } else if (b == '\\') {
      out += "\\\\";  // a Windows separator: doubled inside quotes, but no reason to quote
    } else if (b < 0x20 || b >= 0x7F) {
      const char octal[] = {'\\', static_cast<char>('0' + (b >> 6)), static_cast<char>('0' + (b >> 3 & 7)),
                            static_cast<char>('0' + (b & 7)), '\0'};
      out += octal;
      quote = true;
    } else {
      out += static_cast<char>(b);
    }
  }
  return quote ? '"' + out + '"' : std::string(bytes);
}

bool Paths::Gather(const std::vector<NativePath>& paths, bool recursive, std::vector<NativePath>& files,
                   Reasons& unreadable, Reasons& passedOver, std::string& error) {
  for (const NativePath& path : paths) {
    if (KindOf(path) == Kind::kFolder && !recursive) {
      // Built around the name: GCC 12 warns falsely (-Wrestrict) on a short literal + string chain here.
      error = Display(path);
      error.insert(error.begin(), '\'');
      error += "' is a folder; add --recursive to take the sheets below it";
      return false;
    }
  }
  for (const NativePath& path : paths) {
    if (KindOf(path) == Kind::kFolder) {
      FindSheets(path, files, unreadable, passedOver);
    } else {
      files.push_back(path);
    }
  }
  return true;
}
