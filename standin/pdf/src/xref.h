// Where each object lies: classic cross-reference tables with their trailers, cross-reference
// streams, hybrid files (XRefStm), incremental updates (Prev chains), and the recovery scan that
// rebuilds the table from the objects themselves when that data is missing or wrong.
#ifndef LVXPDF_XREF_H
#define LVXPDF_XREF_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "object.h"
#include "syntax.h"

namespace lvx::pdf {

struct XrefEntry {
  enum Type : std::uint8_t { kAbsent = 0, kOffset = 1, kCompressed = 2 };
  Type type = kAbsent;
  std::uint64_t position = 0;  // byte offset, or the number of the object stream
  std::uint32_t index = 0;     // generation, or the index within the object stream
};

class XrefTable {
 public:
  // Object numbers at or above this are ignored (a defence against absurd /Size values).
  static constexpr std::uint32_t kMaxObjects = 1U << 23;

  // Records an entry unless the object already has one (newer sections are read first).
  void Add(std::uint32_t num, const XrefEntry& entry);
  // Records an entry, replacing what was there.
  void Set(std::uint32_t num, const XrefEntry& entry);
  [[nodiscard]] const XrefEntry* Find(std::uint32_t num) const;
  [[nodiscard]] std::uint32_t Size() const { return static_cast<std::uint32_t>(entries_.size()); }
  // Copies the keys of `older` that the trailer does not have yet.
  void MergeTrailer(const Dict& older);

  Dict trailer;

 private:
  std::vector<XrefEntry> entries_;
};

// Reads the cross-reference sections starting at `start`, then their Prev and XRefStm
// sections. Answers false when the first section cannot be read.
bool ReadXref(Bytes data, std::size_t start, XrefTable& table);

struct RecoveredStructure {
  XrefTable table;
  std::vector<std::uint32_t> objectStreams;  // numbers of /Type /ObjStm objects found
  std::vector<Ref> catalogs;                 // /Type /Catalog objects found, in file order
};

// Rebuilds the table by scanning every "N G obj"; the trailer is merged from every "trailer"
// dictionary and every cross-reference stream's dictionary, later ones winning.
RecoveredStructure RecoverXref(Bytes data);

}  // namespace lvx::pdf

#endif
