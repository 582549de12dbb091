// Writes small encrypted PDF files the way the standard security handler's writers do, for the
// reader's decryption tests.
#ifndef LVX_TESTS_ENCRYPTED_DOCUMENT_H
#define LVX_TESTS_ENCRYPTED_DOCUMENT_H

#include <string>

namespace lvx::pdf::test {

enum class Encryption { kRc4Bits40, kRc4Bits128, kAes128, kAes256R5, kAes256R6 };

// One page showing `text` with Helvetica, and an Info /Title of `title`, encrypted with the
// given user and owner passwords.
std::string EncryptedDocument(Encryption encryption, const std::string& userPassword,
                              const std::string& ownerPassword, const std::string& text,
                              const std::string& title);

}  // namespace lvx::pdf::test

#endif
