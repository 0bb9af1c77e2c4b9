#include "wide_text.h"

#include "text_services.h"

namespace TS = TextServices;

namespace {

constexpr std::size_t kLargest = 0x7FFFFFFF;  // the services count in int
constexpr std::size_t kShort = 512;

}  // namespace

std::u16string Widen(unsigned codePage, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kLargest) return {};
  const int size = static_cast<int>(bytes.size());
  // A short text (a name, a line) in one call: no code page here gives more units than bytes, and should one,
  // the call fails and the text goes the long way, its length asked first.
  if (bytes.size() <= kShort) {
    char16_t room[kShort];
    const int units = TS::MultiByteToWideChar(codePage, 0, bytes.data(), size, room, size);
    if (units > 0) return std::u16string(room, static_cast<std::size_t>(units));
  }
  const int units = TS::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (units == 0) return {};
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  wide.resize(static_cast<std::size_t>(TS::MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), units)));
  return wide;
}

std::string Narrow(unsigned codePage, std::u16string_view wide) {
  if (wide.empty() || wide.size() > kLargest) return {};
  const int units = static_cast<int>(wide.size());
  const int size = TS::WideCharToMultiByte(codePage, 0, wide.data(), units, nullptr, 0);
  if (size == 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  bytes.resize(static_cast<std::size_t>(TS::WideCharToMultiByte(codePage, 0, wide.data(), units, bytes.data(), size)));
  return bytes;
}

std::u16string WidenUtf16(std::string_view bytes, bool bigEndian, std::size_t* oddAt) {
  std::u16string units;
  units.reserve(bytes.size() / 2 + 1);
  std::size_t odd = std::u16string::npos;
  for (std::size_t i = 0;; i += 2) {
    if (i + 1 >= bytes.size()) {
      if (i < bytes.size()) {
        odd = units.size();
        units += u'\xFFFD';
      }
      break;
    }
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    const auto unit = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    if (unit == 0) break;
    units += unit;
  }
  if (oddAt != nullptr) *oddAt = odd;
  return units;
}
