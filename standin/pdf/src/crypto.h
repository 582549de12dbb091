// The hashes and ciphers of the standard security handler, from libgcrypt.
#ifndef LVXPDF_CRYPTO_H
#define LVXPDF_CRYPTO_H

#include <cstdint>
#include <span>
#include <vector>

namespace lvx::pdf::crypto {

using Bytes = std::vector<std::uint8_t>;

Bytes Md5(std::span<const std::uint8_t> data);
Bytes Sha256(std::span<const std::uint8_t> data);
Bytes Sha384(std::span<const std::uint8_t> data);
Bytes Sha512(std::span<const std::uint8_t> data);
// RC4 is symmetric: the same call encrypts and decrypts.
Bytes Rc4(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data);
// AES in CBC mode without padding; the key is 16 or 32 bytes, data a multiple of 16 bytes.
Bytes AesCbcEncrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                    std::span<const std::uint8_t> data);
Bytes AesCbcDecrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                    std::span<const std::uint8_t> data);

}  // namespace lvx::pdf::crypto

#endif
