#include "security.h"

#include <algorithm>
#include <array>

#include "crypto.h"

namespace lvx::pdf {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::uint8_t, 32> kPadding = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

Bytes ToBytes(std::string_view text) { return {text.begin(), text.end()}; }

void Append(Bytes& out, std::span<const std::uint8_t> data) {
  out.insert(out.end(), data.begin(), data.end());
}

Bytes PadPassword(std::span<const std::uint8_t> password) {
  Bytes padded(
      password.begin(),
      password.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(password.size(), 32)));
  for (std::size_t i = 0; padded.size() < 32; ++i) {
    padded.push_back(kPadding[i]);
  }
  return padded;
}

struct Parameters {
  int revision = 0;
  std::size_t keyLength = 5;  // bytes
  Bytes owner;                // O
  Bytes user;                 // U
  Bytes ownerKey;             // OE
  Bytes userKey;              // UE
  std::uint32_t permissions = 0;
  Bytes id;
  bool encryptMetadata = true;
};

// Algorithm 2: the file key of revisions 2 to 4 from a (user) password.
Bytes FileKey(const Parameters& p, std::span<const std::uint8_t> password) {
  Bytes input = PadPassword(password);
  Append(input, std::span(p.owner).first(std::min<std::size_t>(p.owner.size(), 32)));
  for (int shift = 0; shift < 32; shift += 8) {
    input.push_back(static_cast<std::uint8_t>(p.permissions >> shift));
  }
  Append(input, p.id);
  if (p.revision >= 4 && !p.encryptMetadata) {
    input.insert(input.end(), 4, 0xFF);
  }
  Bytes hash = crypto::Md5(input);
  const std::size_t n = std::min(p.keyLength, hash.size());
  if (p.revision >= 3) {
    for (int i = 0; i < 50; ++i) {
      hash = crypto::Md5(std::span(hash).first(n));
    }
  }
  hash.resize(n);
  return hash;
}

Bytes XorKey(const Bytes& key, int value) {
  Bytes out = key;
  for (auto& byte : out) {
    byte = static_cast<std::uint8_t>(byte ^ value);
  }
  return out;
}

// Algorithms 4 and 5: does `key` reproduce U?
bool UserKeyMatches(const Parameters& p, const Bytes& key) {
  if (p.revision == 2) {
    const Bytes check = crypto::Rc4(key, kPadding);
    return p.user.size() >= 32 && std::equal(check.begin(), check.end(), p.user.begin());
  }
  Bytes input(kPadding.begin(), kPadding.end());
  Append(input, p.id);
  Bytes check = crypto::Md5(input);
  check = crypto::Rc4(key, check);
  for (int i = 1; i <= 19; ++i) {
    check = crypto::Rc4(XorKey(key, i), check);
  }
  return p.user.size() >= 16 && check.size() == 16 &&
         std::equal(check.begin(), check.end(), p.user.begin());
}

// Algorithm 7's first half: the user password hidden in O under an owner password.
Bytes UserPasswordFromOwner(const Parameters& p, std::span<const std::uint8_t> ownerPassword) {
  Bytes hash = crypto::Md5(PadPassword(ownerPassword));
  const std::size_t n = p.revision == 2 ? 5 : std::min(p.keyLength, hash.size());
  if (p.revision >= 3) {
    for (int i = 0; i < 50; ++i) {
      hash = crypto::Md5(std::span(hash).first(n));
    }
  }
  hash.resize(n);
  Bytes password(p.owner.begin(), p.owner.begin() + static_cast<std::ptrdiff_t>(
                                                        std::min<std::size_t>(p.owner.size(), 32)));
  if (p.revision == 2) {
    return crypto::Rc4(hash, password);
  }
  for (int i = 19; i >= 0; --i) {
    password = crypto::Rc4(XorKey(hash, i), password);
  }
  return password;
}

// Algorithm 2.B of revision 6 (revision 5 uses the plain SHA-256).
Bytes Hash2B(const Parameters& p, std::span<const std::uint8_t> password,
             std::span<const std::uint8_t> salt, std::span<const std::uint8_t> userData) {
  Bytes input(password.begin(), password.end());
  Append(input, salt);
  Append(input, userData);
  Bytes k = crypto::Sha256(input);
  if (p.revision == 5) {
    return k;
  }
  for (int round = 0;; ++round) {
    Bytes block(password.begin(), password.end());
    Append(block, k);
    Append(block, userData);
    Bytes k1;
    k1.reserve(block.size() * 64);
    for (int i = 0; i < 64; ++i) {
      Append(k1, block);
    }
    const Bytes e = crypto::AesCbcEncrypt(std::span(k).first(16), std::span(k).subspan(16, 16), k1);
    if (e.size() < 16) {
      return {};
    }
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i) {
      sum += e[static_cast<std::size_t>(i)];
    }
    switch (sum % 3) {
      case 0:
        k = crypto::Sha256(e);
        break;
      case 1:
        k = crypto::Sha384(e);
        break;
      default:
        k = crypto::Sha512(e);
        break;
    }
    if (round >= 63 && e.back() <= round - 31) {
      break;
    }
  }
  k.resize(32);
  return k;
}

// Revisions 5 and 6: the file key from the empty password, as user or as owner.
Bytes FileKeyAes256(const Parameters& p) {
  if (p.user.size() < 48 || p.owner.size() < 48 || p.userKey.size() < 32 ||
      p.ownerKey.size() < 32) {
    return {};
  }
  const Bytes zeroIv(16, 0);
  const std::span<const std::uint8_t> noPassword;
  const std::span user(p.user);
  const std::span owner(p.owner);
  const Bytes userHash = Hash2B(p, noPassword, user.subspan(32, 8), {});
  if (userHash.size() == 32 && std::equal(userHash.begin(), userHash.end(), user.begin())) {
    const Bytes intermediate = Hash2B(p, noPassword, user.subspan(40, 8), {});
    return crypto::AesCbcDecrypt(intermediate, zeroIv, std::span(p.userKey).first(32));
  }
  const Bytes ownerHash = Hash2B(p, noPassword, owner.subspan(32, 8), user.first(48));
  if (ownerHash.size() == 32 && std::equal(ownerHash.begin(), ownerHash.end(), owner.begin())) {
    const Bytes intermediate = Hash2B(p, noPassword, owner.subspan(40, 8), user.first(48));
    return crypto::AesCbcDecrypt(intermediate, zeroIv, std::span(p.ownerKey).first(32));
  }
  return {};
}

SecurityHandler::Method MethodOf(const Dict& encrypt, const std::string& filterName, int version,
                                 bool& known) {
  if (version < 4) {
    return SecurityHandler::Method::kRc4;
  }
  if (filterName.empty() || filterName == "Identity") {
    return SecurityHandler::Method::kNone;
  }
  const Dict& filter = encrypt.Get("CF").AsDict().Get(filterName).AsDict();
  const std::string& cfm = filter.Get("CFM").AsName();
  if (cfm == "V2") {
    return SecurityHandler::Method::kRc4;
  }
  if (cfm == "AESV2") {
    return SecurityHandler::Method::kAes128;
  }
  if (cfm == "AESV3") {
    return SecurityHandler::Method::kAes256;
  }
  if (cfm == "None") {
    return SecurityHandler::Method::kNone;
  }
  known = false;
  return SecurityHandler::Method::kNone;
}

}  // namespace

std::unique_ptr<SecurityHandler> SecurityHandler::Create(const Dict& encrypt,
                                                         std::string_view firstId,
                                                         SecurityStatus& status) {
  status = SecurityStatus::kUnsupported;
  if (encrypt.Get("Filter").AsName() != "Standard") {
    return nullptr;
  }
  const auto version = static_cast<int>(encrypt.Get("V").AsInt(0));
  Parameters p;
  p.revision = static_cast<int>(encrypt.Get("R").AsInt(0));
  p.owner = ToBytes(encrypt.Get("O").AsString());
  p.user = ToBytes(encrypt.Get("U").AsString());
  p.ownerKey = ToBytes(encrypt.Get("OE").AsString());
  p.userKey = ToBytes(encrypt.Get("UE").AsString());
  p.permissions = static_cast<std::uint32_t>(encrypt.Get("P").AsInt(0));
  p.id = ToBytes(firstId);
  p.encryptMetadata = encrypt.Get("EncryptMetadata").AsBool(true);
  if (version < 1 || version > 5 || version == 3 || p.revision < 2 || p.revision > 6) {
    return nullptr;
  }
  // Version 4 and later name the key length in the crypt filter, if anywhere: 128 bits without.
  std::int64_t bits = encrypt.Get("Length").AsInt(0);
  if (bits == 0 && version >= 4) {
    const Dict& filters = encrypt.Get("CF").AsDict();
    bits = filters.Get(encrypt.Get("StmF").AsName()).AsDict().Get("Length").AsInt(128);
    if (bits <= 32) {
      bits *= 8;  // the crypt filter's length is mostly written in bytes
    }
  }
  if (bits == 0) {
    bits = 40;
  }
  if (bits % 8 != 0 && bits <= 16) {
    bits *= 8;  // some writers give the length in bytes
  }
  p.keyLength =
      p.revision == 2 ? 5 : static_cast<std::size_t>(std::clamp<std::int64_t>(bits / 8, 5, 16));

  std::unique_ptr<SecurityHandler> handler(new SecurityHandler());
  handler->encryptMetadata_ = p.encryptMetadata;
  bool known = true;
  handler->stringMethod_ =
      MethodOf(encrypt, version >= 4 ? encrypt.Get("StrF").AsName() : "", version, known);
  handler->streamMethod_ =
      MethodOf(encrypt, version >= 4 ? encrypt.Get("StmF").AsName() : "", version, known);
  if (!known) {
    return nullptr;
  }
  if (p.revision >= 5) {
    handler->key_ = FileKeyAes256(p);
    if (handler->key_.size() != 32) {
      status = SecurityStatus::kPasswordRequired;
      return nullptr;
    }
  } else {
    Bytes key = FileKey(p, {});
    if (!UserKeyMatches(p, key)) {
      // The owner password may be the empty one.
      const Bytes userPassword = UserPasswordFromOwner(p, {});
      key = FileKey(p, userPassword);
      if (!UserKeyMatches(p, key)) {
        status = SecurityStatus::kPasswordRequired;
        return nullptr;
      }
    }
    handler->key_ = std::move(key);
  }
  status = SecurityStatus::kOpen;
  return handler;
}

std::vector<std::uint8_t> SecurityHandler::Decrypt(std::span<const std::uint8_t> data, Ref ref,
                                                   Method method) const {
  if (method == Method::kNone) {
    return {data.begin(), data.end()};
  }
  Bytes objectKey;
  if (method == Method::kAes256) {
    objectKey = key_;
  } else {
    Bytes input = key_;
    input.push_back(static_cast<std::uint8_t>(ref.num));
    input.push_back(static_cast<std::uint8_t>(ref.num >> 8));
    input.push_back(static_cast<std::uint8_t>(ref.num >> 16));
    input.push_back(static_cast<std::uint8_t>(ref.gen));
    input.push_back(static_cast<std::uint8_t>(ref.gen >> 8));
    if (method == Method::kAes128) {
      Append(input, ToBytes("sAlT"));
    }
    objectKey = crypto::Md5(input);
    objectKey.resize(std::min<std::size_t>(key_.size() + 5, 16));
  }
  if (method == Method::kRc4) {
    return crypto::Rc4(objectKey, data);
  }
  // AES: the first block is the initialisation vector; the last block carries the padding.
  if (data.size() < 32) {
    return {};
  }
  const std::size_t length = (data.size() - 16) / 16 * 16;
  Bytes plain = crypto::AesCbcDecrypt(objectKey, data.first(16), data.subspan(16, length));
  if (!plain.empty()) {
    const std::uint8_t pad = plain.back();
    if (pad >= 1 && pad <= 16 && pad <= plain.size()) {
      plain.resize(plain.size() - pad);
    }
  }
  return plain;
}

std::string SecurityHandler::DecryptString(std::string_view data, Ref ref) const {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
  const Bytes plain = Decrypt(std::span(bytes, data.size()), ref, stringMethod_);
  return {plain.begin(), plain.end()};
}

std::vector<std::uint8_t> SecurityHandler::DecryptStream(std::span<const std::uint8_t> data,
                                                         Ref ref,
                                                         std::string_view cryptFilter) const {
  if (cryptFilter == "Identity") {
    return {data.begin(), data.end()};
  }
  return Decrypt(data, ref, streamMethod_);
}

}  // namespace lvx::pdf
