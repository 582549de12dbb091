// The standard security handler (revisions 2 to 6: RC4 40 to 128 bit, AES-128, AES-256) for
// documents that open with an empty password, user or owner.
#ifndef LVXPDF_SECURITY_H
#define LVXPDF_SECURITY_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "object.h"

namespace lvx::pdf {

enum class SecurityStatus : std::uint8_t { kOpen, kPasswordRequired, kUnsupported };

class SecurityHandler {
 public:
  enum class Method : std::uint8_t { kNone, kRc4, kAes128, kAes256 };

  // Checks the empty password against the Encrypt dictionary. Answers a handler when the
  // document opens, otherwise null with `status` telling why.
  static std::unique_ptr<SecurityHandler> Create(const Dict& encrypt, std::string_view firstId,
                                                 SecurityStatus& status);

  [[nodiscard]] std::string DecryptString(std::string_view data, Ref ref) const;
  // `cryptFilter` is the name of a stream's own crypt filter ("" for the default one).
  [[nodiscard]] std::vector<std::uint8_t> DecryptStream(std::span<const std::uint8_t> data, Ref ref,
                                                        std::string_view cryptFilter) const;
  [[nodiscard]] bool EncryptMetadata() const { return encryptMetadata_; }

 private:
  SecurityHandler() = default;
  [[nodiscard]] std::vector<std::uint8_t> Decrypt(std::span<const std::uint8_t> data, Ref ref,
                                                  Method method) const;

  std::vector<std::uint8_t> key_;
  Method stringMethod_ = Method::kNone;
  Method streamMethod_ = Method::kNone;
  bool encryptMetadata_ = true;
};

}  // namespace lvx::pdf

#endif
