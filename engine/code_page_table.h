// Direct decode and encode tables of one Windows code page, built once from ICU's closest converter and
// adapted to what Windows does, so that each conversion is a table lookup per character (native build).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

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
  std::uint16_t BytesOf(char16_t unit) const;
  void Build(char16_t unit) const;
  std::uint16_t EncodeOne(unsigned unit) const;
  void EncodeBlock(unsigned block) const;
  char16_t Pair(unsigned lead, unsigned trail) const;
  void Read(unsigned lead, unsigned trail) const;
  bool ReadRow(unsigned lead) const;
  bool ReadItems(unsigned lead, std::size_t from, std::size_t to, char16_t* row) const;
  void PutWindowsPairs(unsigned lead, unsigned firstTrail, unsigned lastTrail, char16_t* row) const;

  struct ConverterCloser {
    void operator()(UConverter* c) const;
  };

  bool m_loaded = false;
  bool m_lead[256] = {};
  char16_t m_single[256] = {};
  char16_t m_defaultUnit = u'?';
  unsigned m_codePage = 0;
  // By lead byte << 8 | trail byte. A pair is decoded when a text first holds it, and a lead byte's whole row
  // once texts have asked for kAsksBeforeWhole of its pairs: a short text holds a few pairs of a row, a long one
  // most of them. A row is one ICU call over m_rowItems with the lead byte put in at m_rowLeads.
  std::unique_ptr<char16_t[]> m_pairs;
  mutable std::atomic<bool> m_rowRead[256] = {};
  mutable std::atomic<std::uint64_t> m_pairRead[256][4] = {};  // by trail byte, before the row is read
  mutable std::uint8_t m_pairAsks[256] = {};
  std::string m_rowItems;
  std::vector<std::size_t> m_rowLeads;
  struct RowTrail {
    unsigned char trail;
    std::size_t first, end;  // of its item in m_rowItems; end: the item's line feed
  };
  std::vector<RowTrail> m_rowTrails;
  std::int16_t m_itemOf[256] = {};  // a trail byte's index in m_rowTrails, -1 for a trail byte no pair takes
  // By unit: a byte, or lead byte << 8 | trail byte; null: decode only. Built as the pairs are: a unit when a text
  // first holds it, a block of 256 units once texts have asked for kAsksBeforeWhole of them.
  std::unique_ptr<std::uint16_t[]> m_bytes;
  mutable std::atomic<bool> m_blockBuilt[256] = {};
  mutable std::atomic<std::uint64_t> m_unitBuilt[256][4] = {};
  mutable std::uint8_t m_unitAsks[256] = {};
  mutable std::mutex m_building;
  std::unique_ptr<UConverter, ConverterCloser> m_converter;  // kept for the rows and blocks not read yet
};
