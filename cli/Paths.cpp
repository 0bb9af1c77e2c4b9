#include "Paths.h"

#include "bytes.h"

std::string Paths::Quoted(std::string_view bytes) {
  std::string out;
  bool quote = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b >= 0x80) {
      char32_t unit;
      if (const std::size_t length =
              Utf8Sequence(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), i, unit)) {
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
