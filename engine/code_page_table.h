// Direct decode and encode tables of one Windows code page, built once from ICU's closest converter and
// adapted to what Windows does, so that each conversion is a table lookup per character (native build).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zeroed.h"

struct UConverter;

class CodePageTable {
 public:
  struct Source;  // where a code page's table comes from
  // The table of a code page the native build knows (the double-byte 932, 936, 949, 950 and 20932, the
  // single-byte 1250, 1251, 1253-1255, 1257, 20866 and 28592), built on first use; null for another code page
  // or when ICU lacks the converter.
  static const CodePageTable* For(unsigned codePage);

  // Both return the units or bytes written, or needed when room is 0; 0 when the output does not fit.
  // A lead byte followed by a byte other than NUL is one character (the default one if the pair is
  // undefined); a lead byte before a NUL or the end is the default character.
  int Decode(const unsigned char* src, std::size_t length, char16_t* dst, int room) const;
  // 0 for a code page that this build only decodes (all but 936 and 950): the engine never encodes to it.
  int Encode(const char16_t* src, std::size_t length, char* dst, int room) const;
  bool IsLeadByte(unsigned char byte) const { return m_lead[byte]; }

 private:
  explicit CodePageTable(const Source& source);
  bool Load(const Source& source);

  template <bool kWrite>
  int DecodeInto(const unsigned char* src, std::size_t length, char16_t* dst, std::size_t room) const;
  template <bool kWrite>
  int EncodeInto(const char16_t* src, std::size_t length, char* dst, std::size_t room) const;
  void ReadPairsIn(const unsigned char* src, std::size_t length) const;
  bool ReadPairs(const std::vector<std::uint16_t>& codes) const;
  void BuildUnitsIn(const char16_t* src, std::size_t length) const;
  std::uint16_t EncodeOne(char16_t unit) const;

  struct ConverterCloser {
    void operator()(UConverter* c) const;
  };

  bool m_loaded = false;
  bool m_lead[256] = {};
  char16_t m_single[256] = {};
  char16_t m_defaultUnit = u'?';
  unsigned m_codePage = 0;
  // By lead byte << 8 | trail byte, and by unit: a byte, or lead byte << 8 | trail byte (null: decode only).
  // Read as texts hold them: when a call meets a pair or unit not read yet, every such one in the next few
  // kilobytes of its text is read in one ICU call, and after some such calls their whole rows or blocks. A short
  // text needs a few hundred of the 65,536; a long one meets most of those it will hold in its first kilobytes.
  // A single-byte code page has neither pairs nor flags; a code page this build only decodes, neither units nor
  // flags.
  std::unique_ptr<char16_t[]> m_pairs;
  ZeroedArray<std::uint64_t> m_pairRead;  // a bit a pair
  mutable std::size_t m_pairsAlone = 0;   // read without their rows, so far
  bool m_lowTrailsAfter8F = false;
  std::unique_ptr<std::uint16_t[]> m_bytes;
  ZeroedArray<std::uint64_t> m_unitBuilt;  // a bit a unit
  mutable std::size_t m_unitsAlone = 0;    // built without their blocks, so far
  mutable std::mutex m_building;
  std::unique_ptr<UConverter, ConverterCloser> m_converter;  // kept for the pairs and units not read yet
};
