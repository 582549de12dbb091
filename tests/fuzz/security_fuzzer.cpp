// libFuzzer target for the standard security handler: the input is an Encrypt dictionary, the
// first file identifier and data, separated by NUL bytes; a handler that opens decrypts the data
// as a string and as a stream (default and named crypt filters).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "lexer.h"
#include "parser.h"
#include "security.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t first = input.find('\0');
  const std::size_t second = first == std::string_view::npos ? first : input.find('\0', first + 1);
  if (second == std::string_view::npos) {
    return 0;
  }
  lvx::pdf::Lexer lexer(std::span(data, first));
  const lvx::pdf::Object encrypt = lvx::pdf::ParseNextObject(lexer);
  if (!encrypt.IsDict()) {
    return 0;
  }
  const std::string_view id = input.substr(first + 1, second - first - 1);
  const std::string_view payload = input.substr(second + 1);
  lvx::pdf::SecurityStatus status = lvx::pdf::SecurityStatus::kUnsupported;
  const auto handler = lvx::pdf::SecurityHandler::Create(encrypt.AsDict(), id, status);
  if (!handler) {
    return 0;
  }
  const lvx::pdf::Ref ref{7, 0};
  (void)handler->DecryptString(payload, ref);
  const std::span<const std::uint8_t> bytes(data + second + 1, size - second - 1);
  (void)handler->DecryptStream(bytes, ref, "");
  (void)handler->DecryptStream(bytes, ref, "StdCF");
  (void)handler->DecryptStream(bytes, ref, "Identity");
  return 0;
}
