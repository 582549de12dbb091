// libFuzzer target for the lexer and the object parser: every object of the input in turn, and
// an indirect object ("N G obj ... endobj", with its stream) read at the start.
#include <cstddef>
#include <cstdint>
#include <span>

#include "lexer.h"
#include "parser.h"
#include "syntax.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  lvx::pdf::Lexer lexer(bytes);
  while (!lexer.AtEnd()) {
    const std::size_t before = lexer.Position();
    (void)lvx::pdf::ParseNextObject(lexer);
    if (lexer.Position() == before) {
      break;
    }
  }
  lvx::pdf::EndstreamFinder finder(bytes);
  (void)lvx::pdf::ReadIndirectObject(
      bytes, 0, [](lvx::pdf::Ref ref) { return static_cast<std::int64_t>(ref.num); }, {}, &finder);
  return 0;
}
