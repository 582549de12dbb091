// The JBIG2 decoder's arithmetic decoding: the MQ decoder with its adaptive contexts, and the
// integer decoders built on it (the IAx procedures, and IAID for symbol numbers).
#ifndef LVXPDF_JBIG2_ARITH_H
#define LVXPDF_JBIG2_ARITH_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lvx::pdf::jbig2 {

struct QeEntry {
  std::uint16_t qe;
  std::uint8_t nextMps;
  std::uint8_t nextLps;
  std::uint8_t exchange;  // 1: the more probable symbol flips on a less probable one
};

// The MQ coder's probability estimation table (the tests' encoder uses it too).
extern const std::array<QeEntry, 47> kQeTable;

// A context's state: the probability estimate's index (low 7 bits) and the more probable symbol
// (bit 7). Zero is the initial state.
using Context = std::uint8_t;
using Contexts = std::vector<Context>;

class ArithDecoder {
 public:
  // Starts decoding `data`; past its end the decoder reads 0xFF bytes, as a marker would give.
  explicit ArithDecoder(std::span<const std::uint8_t> data);
  // Decodes one bit in context `cx`.
  int Decode(Context& cx);

 private:
  void ByteIn();
  [[nodiscard]] std::uint8_t ByteAt(std::size_t at) const {
    return at < data_.size() ? data_[at] : 0xFF;
  }

  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
  std::uint32_t c_ = 0;
  std::uint32_t a_ = 0;
  int ct_ = 0;
};

// One integer decoding procedure (IADH, IADW, IAEX, IAAI, IADT, ...) with its own 512 contexts.
class IntDecoder {
 public:
  // The value, or nothing for the out-of-band value.
  std::optional<std::int64_t> Decode(ArithDecoder& decoder);
  // The value; out-of-band is damage here.
  std::int64_t DecodeValue(ArithDecoder& decoder);

 private:
  std::array<Context, 512> contexts_{};
};

// The symbol number decoding procedure (IAID) for codes of `codeLength` bits.
class IdDecoder {
 public:
  explicit IdDecoder(unsigned codeLength);
  std::uint32_t Decode(ArithDecoder& decoder);

 private:
  unsigned length_;
  Contexts contexts_;
};

// The code length of symbol numbers among `count` symbols: the bits of count - 1.
unsigned SymbolCodeLength(std::uint64_t count);

}  // namespace lvx::pdf::jbig2

#endif
