#include "dbcs_to_gbk.h"

#include <cstring>
#include <string>
#include <vector>

#include "bytes.h"
#include "text_services.h"

namespace TS = TextServices;

namespace {

// What one item of bytes becomes: its GBK bytes (simplified where asked) and the units it decoded to.
struct Item {
  std::string gbk;
  std::size_t units = 0;
};

// The whole text through the services, as the routines' earlier chain of calls made it.
bool ConvertText(unsigned codePage, bool simplified, const std::string& text, std::u16string& wide, std::string& gbk) {
  wide.assign(text.size() + 1, u'\0');
  const int units = TS::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                            static_cast<int>(wide.size()));
  if (units <= 0) return false;
  wide.resize(static_cast<std::size_t>(units));
  gbk.assign(2 * wide.size() + 1, '\0');
  const int bytes =
      TS::WideCharToMultiByte(TS::kCodePageGbk, 0, wide.data(), units, gbk.data(), static_cast<int>(gbk.size()));
  if (bytes <= 0) return false;
  gbk.resize(static_cast<std::size_t>(bytes));
  if (simplified) {
    std::string mapped(gbk.size(), '\0');
    // A system without the mapping passes the GBK text on as it is, as the routines do.
    if (TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, gbk.data(), bytes, mapped.data(), bytes) ==
        bytes) {
      gbk = std::move(mapped);
    }
  }
  return true;
}

// Each item as if it stood alone, in one call for all of them, a line feed closing each: the services' fixed
// cost per call is felt under Wine. Should the code page take a line feed into a character, the items no longer
// line up, and each is converted on its own.
std::vector<Item> ConvertItems(unsigned codePage, bool simplified, const std::vector<std::string>& items) {
  std::string joined;
  for (const std::string& item : items) joined.append(item).append(1, '\n');
  std::u16string wide;
  std::string gbk;
  std::vector<Item> result;
  if (!ConvertText(codePage, simplified, joined, wide, gbk)) return result;
  Item item;
  std::size_t unit = 0;
  for (std::size_t i = 0; i < gbk.size();) {
    if (gbk[i] != '\n') {
      const std::size_t length = IsGbkLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
      item.gbk.append(gbk, i, length);
      i += length;
      continue;
    }
    for (; unit < wide.size() && wide[unit] != u'\n'; ++unit) ++item.units;
    ++unit;
    result.push_back(std::move(item));
    item = {};
    ++i;
  }
  if (result.size() == items.size()) return result;
  result.clear();
  for (const std::string& alone : items) {
    if (!ConvertText(codePage, simplified, alone, wide, gbk)) return {};
    result.push_back({gbk, wide.size()});
  }
  return result;
}

}  // namespace

const DbcsToGbk& DbcsToGbk::Big5Simplified() {
  static const DbcsToGbk table(TS::kCodePageBig5, true);
  return table;
}

const DbcsToGbk& DbcsToGbk::ShiftJis() {
  static const DbcsToGbk table(TS::kCodePageShiftJis, false);
  return table;
}

DbcsToGbk::DbcsToGbk(unsigned codePage, bool simplified) {
  if (!TS::IsValidCodePage(codePage) || !TS::IsValidCodePage(TS::kCodePageGbk)) return;
  auto entry = [](const Item& item, std::uint8_t taken, Entry& e) {
    if (item.units != 1 || item.gbk.empty() || item.gbk.size() > 2) return false;
    e = {{item.gbk[0], item.gbk.size() > 1 ? item.gbk[1] : '\0'}, static_cast<std::uint8_t>(item.gbk.size()), taken};
    return true;
  };
  // ASCII stays as it is in every code page here. Each other byte alone at the end of a text (a lead byte there
  // is the code page's default character), and with an 'A' after it: a lead byte takes the 'A' in.
  std::vector<std::string> alone, withA;
  for (unsigned b = 0x80; b < 256; ++b) {
    alone.push_back(std::string(1, static_cast<char>(b)));
    withA.push_back({static_cast<char>(b), 'A'});
  }
  const std::vector<Item> singles = ConvertItems(codePage, simplified, alone);
  const std::vector<Item> paired = ConvertItems(codePage, simplified, withA);
  if (singles.size() != alone.size() || paired.size() != withA.size()) return;
  for (unsigned b = 0x80; b < 256; ++b) {
    m_lead[b] = paired[b - 0x80].units == 1;
    if (!entry(singles[b - 0x80], 1, m_single[b])) return;
  }
  m_pairs = std::make_unique<Entry[]>(65536);
  for (unsigned lead = 0x80; lead < 256; ++lead) {
    if (!m_lead[lead]) continue;
    std::vector<std::string> row;
    for (unsigned next = 1; next < 256; ++next) row.push_back({static_cast<char>(lead), static_cast<char>(next)});
    const std::vector<Item> pairs = ConvertItems(codePage, simplified, row);
    if (pairs.size() != row.size()) return;
    for (unsigned next = 1; next < 256; ++next) {
      Entry& e = m_pairs[lead << 8 | next];
      // Read as two characters, the lead byte stands alone and the next byte opens a character of its own.
      if (!entry(pairs[next - 1], 2, e)) {
        e = m_single[lead];
        if (pairs[next - 1].units != 2) return;
      }
    }
  }
  m_usable = true;
}

std::size_t DbcsToGbk::Convert(const unsigned char* in, std::size_t n, char* out) const {
  std::size_t o = 0;
  for (std::size_t i = 0; i < n;) {
    if (n - i >= 8 && IsEightAscii(in + i)) {
      std::memcpy(out + o, in + i, 8);
      i += 8;
      o += 8;
      continue;
    }
    const unsigned b = in[i];
    if (b < 0x80) {
      out[o++] = static_cast<char>(b);
      ++i;
      continue;
    }
    const Entry& e = m_lead[b] && i + 1 < n ? m_pairs[b << 8 | in[i + 1]] : m_single[b];
    out[o] = e.bytes[0];
    out[o + 1] = e.bytes[1];
    o += e.length;
    i += e.taken;
  }
  out[o] = '\0';
  return o;
}
