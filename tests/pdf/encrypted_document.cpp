#include "encrypted_document.h"

#include <array>
#include <cstdint>
#include <vector>

#include "crypto.h"
#include "pdf_builder.h"

namespace lvx::pdf::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::array<std::uint8_t, 32> kPad = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

Bytes B(std::string_view text) { return {text.begin(), text.end()}; }
std::string S(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }
Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Padded(const std::string& password) {
  Bytes out = B(password.substr(0, 32));
  for (std::size_t i = 0; out.size() < 32; ++i) {
    out.push_back(kPad[i]);
  }
  return out;
}
Bytes Xor(const Bytes& key, int value) {
  Bytes out = key;
  for (auto& b : out) {
    b = static_cast<std::uint8_t>(b ^ value);
  }
  return out;
}
Bytes Head(const Bytes& bytes, std::size_t n) {
  return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)};
}

// The revision 6 hash (ISO 32000-2, 7.6.4.3.4); revision 5 stops after the first SHA-256.
Bytes Hash(int revision, const Bytes& password, const Bytes& salt, const Bytes& userData) {
  Bytes k = crypto::Sha256(Cat(Cat(password, salt), userData));
  if (revision == 5) {
    return k;
  }
  int round = 0;
  Bytes e;
  do {
    Bytes k1;
    const Bytes block = Cat(Cat(password, k), userData);
    for (int i = 0; i < 64; ++i) {
      k1 = Cat(k1, block);
    }
    e = crypto::AesCbcEncrypt(Head(k, 16), Bytes(k.begin() + 16, k.begin() + 32), k1);
    unsigned sum = 0;
    for (int i = 0; i < 16; ++i) {
      sum += e[static_cast<std::size_t>(i)];
    }
    k = sum % 3 == 0 ? crypto::Sha256(e) : sum % 3 == 1 ? crypto::Sha384(e) : crypto::Sha512(e);
    ++round;
  } while (round < 64 || e.back() > round - 32);
  return Head(k, 32);
}

}  // namespace

std::string EncryptedDocument(Encryption encryption, const std::string& userPassword,
                              const std::string& ownerPassword, const std::string& text,
                              const std::string& title) {
  const Bytes id = B("0123456789abcdef");
  const std::int32_t permissions = -4;
  std::string encryptDict;
  Bytes fileKey;
  const bool aes256 = encryption == Encryption::kAes256R5 || encryption == Encryption::kAes256R6;
  if (aes256) {
    const int revision = encryption == Encryption::kAes256R5 ? 5 : 6;
    fileKey = B("K0123456789abcdefK0123456789abcd");
    const Bytes user = B(userPassword);
    const Bytes owner = B(ownerPassword);
    const Bytes uValidation = B("uvsalt01");
    const Bytes uKey = B("uksalt01");
    const Bytes oValidation = B("ovsalt01");
    const Bytes oKey = B("oksalt01");
    const Bytes u = Cat(Cat(Hash(revision, user, uValidation, {}), uValidation), uKey);
    const Bytes ue = crypto::AesCbcEncrypt(Hash(revision, user, uKey, {}), Bytes(16, 0), fileKey);
    const Bytes o = Cat(Cat(Hash(revision, owner, oValidation, u), oValidation), oKey);
    const Bytes oe = crypto::AesCbcEncrypt(Hash(revision, owner, oKey, u), Bytes(16, 0), fileKey);
    encryptDict = "<< /Filter /Standard /V 5 /R " + std::to_string(revision) +
                  " /Length 256 /CF << /StdCF << /CFM /AESV3 /AuthEvent /DocOpen /Length 32 >> >>"
                  " /StmF /StdCF /StrF /StdCF /P " +
                  std::to_string(permissions) + " /O " + Hex(S(o)) + " /U " + Hex(S(u)) + " /OE " +
                  Hex(S(oe)) + " /UE " + Hex(S(ue)) + " >>";
  } else {
    const int revision = encryption == Encryption::kRc4Bits40    ? 2
                         : encryption == Encryption::kRc4Bits128 ? 3
                                                                 : 4;
    const std::size_t n = revision == 2 ? 5 : 16;
    // O (algorithm 3).
    Bytes h = crypto::Md5(Padded(ownerPassword));
    if (revision >= 3) {
      for (int i = 0; i < 50; ++i) {
        h = crypto::Md5(h);
      }
    }
    const Bytes ownerKey = Head(h, n);
    Bytes o = crypto::Rc4(ownerKey, Padded(userPassword));
    if (revision >= 3) {
      for (int i = 1; i <= 19; ++i) {
        o = crypto::Rc4(Xor(ownerKey, i), o);
      }
    }
    // The file key (algorithm 2).
    Bytes input = Cat(Padded(userPassword), o);
    for (int shift = 0; shift < 32; shift += 8) {
      input.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(permissions) >> shift));
    }
    input = Cat(input, id);
    h = crypto::Md5(input);
    if (revision >= 3) {
      for (int i = 0; i < 50; ++i) {
        h = crypto::Md5(Head(h, n));
      }
    }
    fileKey = Head(h, n);
    // U (algorithms 4 and 5).
    Bytes u;
    if (revision == 2) {
      u = crypto::Rc4(fileKey, Bytes(kPad.begin(), kPad.end()));
    } else {
      u = crypto::Rc4(fileKey, crypto::Md5(Cat(Bytes(kPad.begin(), kPad.end()), id)));
      for (int i = 1; i <= 19; ++i) {
        u = crypto::Rc4(Xor(fileKey, i), u);
      }
      u = Cat(u, Bytes(16, 0x55));
    }
    encryptDict =
        "<< /Filter /Standard /V " +
        std::string(revision == 2   ? "1"
                    : revision == 3 ? "2"
                                    : "4") +
        " /R " + std::to_string(revision) + " /Length " + std::to_string(n * 8) +
        (revision == 4 ? " /CF << /StdCF << /CFM /AESV2 /Length 16 >> >> /StmF /StdCF /StrF /StdCF"
                       : "") +
        " /P " + std::to_string(permissions) + " /O " + Hex(S(o)) + " /U " + Hex(S(u)) + " >>";
  }
  const bool aes = encryption != Encryption::kRc4Bits40 && encryption != Encryption::kRc4Bits128;
  const auto encrypt = [&](int num, const std::string& plain) {
    Bytes key = fileKey;
    if (!aes256) {
      Bytes input = Cat(fileKey, {static_cast<std::uint8_t>(num), 0, 0, 0, 0});
      if (aes) {
        input = Cat(input, B("sAlT"));
      }
      key = Head(crypto::Md5(input), std::min<std::size_t>(fileKey.size() + 5, 16));
    }
    if (!aes) {
      return S(crypto::Rc4(key, B(plain)));
    }
    Bytes data = B(plain);
    const std::size_t pad = 16 - data.size() % 16;
    data.insert(data.end(), pad, static_cast<std::uint8_t>(pad));
    const Bytes iv = B("IVIVIVIVIVIVIVIV");
    return S(Cat(iv, crypto::AesCbcEncrypt(key, iv, data)));
  };
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add(
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> >> "
      "/Contents 5 0 R >>");
  pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  pdf.AddStream("", encrypt(5, "BT /F1 12 Tf 72 720 Td (" + text + ") Tj ET"));
  pdf.Add("<< /Title " + Hex(encrypt(6, title)) + " >>");
  pdf.Add(encryptDict);
  return pdf.Build(catalog, XrefForm::kTable,
                   "/Info 6 0 R /Encrypt 7 0 R /ID [" + Hex(S(id)) + " " + Hex(S(id)) + "]");
}

}  // namespace lvx::pdf::test
