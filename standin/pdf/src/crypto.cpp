#include "crypto.h"

#include <gcrypt.h>

namespace lvx::pdf::crypto {
namespace {

void Initialise() {
  // Once per process: libgcrypt wants its version checked before first use. Secure memory is of
  // no use for the keys of documents opened with an empty password.
  static const bool done = [] {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  (void)done;
}

Bytes Hash(int algorithm, std::span<const std::uint8_t> data) {
  Initialise();
  Bytes digest(gcry_md_get_algo_dlen(algorithm));
  gcry_md_hash_buffer(algorithm, digest.data(), data.data(), data.size());
  return digest;
}

class Cipher {
 public:
  Cipher(int algorithm, int mode) : ok_(Open(handle_, algorithm, mode)) {}
  ~Cipher() {
    if (ok_) {
      gcry_cipher_close(handle_);
    }
  }
  Cipher(const Cipher&) = delete;
  Cipher& operator=(const Cipher&) = delete;
  Cipher(Cipher&&) = delete;
  Cipher& operator=(Cipher&&) = delete;

  bool SetKey(std::span<const std::uint8_t> key) {
    return ok_ && gcry_cipher_setkey(handle_, key.data(), key.size()) == 0;
  }
  bool SetIv(std::span<const std::uint8_t> iv) {
    return ok_ && gcry_cipher_setiv(handle_, iv.data(), iv.size()) == 0;
  }
  Bytes Run(std::span<const std::uint8_t> data, bool encrypt) {
    Bytes out(data.size());
    if (!ok_ || data.empty()) {
      return ok_ ? out : Bytes{};
    }
    const gcry_error_t error =
        encrypt ? gcry_cipher_encrypt(handle_, out.data(), out.size(), data.data(), data.size())
                : gcry_cipher_decrypt(handle_, out.data(), out.size(), data.data(), data.size());
    return error == 0 ? out : Bytes{};
  }

 private:
  static bool Open(gcry_cipher_hd_t& handle, int algorithm, int mode) {
    Initialise();
    return gcry_cipher_open(&handle, algorithm, mode, 0) == 0;
  }

  // Declared before ok_, whose initialiser opens it.
  gcry_cipher_hd_t handle_ = nullptr;
  bool ok_ = false;
};

Bytes Aes(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
          std::span<const std::uint8_t> data, bool encrypt) {
  if ((key.size() != 16 && key.size() != 32) || iv.size() != 16 || data.size() % 16 != 0) {
    return {};
  }
  Cipher cipher(key.size() == 16 ? GCRY_CIPHER_AES128 : GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_CBC);
  if (!cipher.SetKey(key) || !cipher.SetIv(iv)) {
    return {};
  }
  return cipher.Run(data, encrypt);
}

}  // namespace

Bytes Md5(std::span<const std::uint8_t> data) { return Hash(GCRY_MD_MD5, data); }
Bytes Sha256(std::span<const std::uint8_t> data) { return Hash(GCRY_MD_SHA256, data); }
Bytes Sha384(std::span<const std::uint8_t> data) { return Hash(GCRY_MD_SHA384, data); }
Bytes Sha512(std::span<const std::uint8_t> data) { return Hash(GCRY_MD_SHA512, data); }

Bytes Rc4(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data) {
  if (key.empty()) {
    return {};
  }
  Cipher cipher(GCRY_CIPHER_ARCFOUR, GCRY_CIPHER_MODE_STREAM);
  if (!cipher.SetKey(key)) {
    return {};
  }
  return cipher.Run(data, true);
}

Bytes AesCbcEncrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                    std::span<const std::uint8_t> data) {
  return Aes(key, iv, data, true);
}

Bytes AesCbcDecrypt(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                    std::span<const std::uint8_t> data) {
  return Aes(key, iv, data, false);
}

}  // namespace lvx::pdf::crypto
