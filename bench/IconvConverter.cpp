#include "IconvConverter.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

IconvConverter::IconvConverter(const char* to, const char* from)
    : m_cd(iconv_open(to, from)), m_name(std::string(from) + "->" + to) {
  if (m_cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert " + m_name);
}

IconvConverter::~IconvConverter() { iconv_close(m_cd); }

std::size_t IconvConverter::Convert(std::string_view input, char* output, std::size_t room) {
  iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  char* out = output;
  std::size_t outLeft = room;
  if (iconv(m_cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
    throw std::runtime_error("iconv " + m_name + " stopped " + std::to_string(input.size() - inLeft) +
                             " bytes in: " + std::strerror(errno));
  }
  return room - outLeft;
}

std::string IconvConverter::Convert(std::string_view input) {
  std::string output(input.size() * 4, '\0');
  output.resize(Convert(input, output.data(), output.size()));
  return output;
}
