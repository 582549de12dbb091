// The JBIG2 symbol dictionary decoding procedure (arithmetic coding): height classes of symbols
// coded directly, refined from one symbol, or aggregated from several, and the exported symbols.
#ifndef LVXPDF_JBIG2_SYMBOLS_H
#define LVXPDF_JBIG2_SYMBOLS_H

#include <span>
#include <vector>

#include "jbig2_bitmap.h"
#include "jbig2_text.h"

namespace lvx::pdf::jbig2 {

// Decodes a symbol dictionary segment's data with `inputs` (the symbols exported by the
// dictionaries it refers to); answers its exported symbols.
std::vector<Symbol> DecodeSymbolDictionary(std::span<const std::uint8_t> data,
                                           std::span<const Symbol> inputs, Allowance& allowance);

}  // namespace lvx::pdf::jbig2

#endif
