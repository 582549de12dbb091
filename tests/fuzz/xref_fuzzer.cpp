// libFuzzer target for the cross-reference reader (tables, streams, Prev and XRefStm chains)
// from the last startxref and from the start, and for the recovery scan.
#include <cstddef>
#include <cstdint>
#include <span>

#include "syntax.h"
#include "xref.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  lvx::pdf::XrefTable table;
  if (const auto start = lvx::pdf::FindStartXref(bytes)) {
    (void)lvx::pdf::ReadXref(bytes, *start, table);
  }
  lvx::pdf::XrefTable fromStart;
  (void)lvx::pdf::ReadXref(bytes, 0, fromStart);
  const lvx::pdf::RecoveredStructure found = lvx::pdf::RecoverXref(bytes);
  (void)found.table.Find(1);
  return 0;
}
