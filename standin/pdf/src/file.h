// A PDF file's objects: opens the bytes, finds the cross-reference data (or recovers it), sets up
// decryption, and loads, caches and resolves objects and decodes streams on demand.
#ifndef LVXPDF_FILE_H
#define LVXPDF_FILE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "filters.h"
#include "lvxpdf/document.h"
#include "object.h"
#include "security.h"
#include "xref.h"

namespace lvx::pdf {

class PdfFile {
 public:
  // Reads the structure of `bytes`. On failure answers null with `error` set.
  static std::unique_ptr<PdfFile> Open(std::vector<std::uint8_t> bytes, OpenError& error);

  // The object `ref` names; null when it does not exist or cannot be read.
  Object Get(Ref ref);
  // `object` itself, or what it refers to.
  Object Resolve(const Object& object);
  // A dictionary entry, resolved.
  Object Get(const Dict& dict, std::string_view key) { return Resolve(dict.Get(key)); }

  // The decrypted and decoded data of a stream, bounded by `limit`.
  std::vector<std::uint8_t> Decode(const Stream& stream, std::size_t limit = kMaxDecodedStream,
                                   FilterStatus* status = nullptr);

  const Dict& Trailer() const { return xref_.trailer; }
  const std::string& Version() const { return version_; }
  bool Encrypted() const { return encrypted_; }
  // Replaces the cross-reference data with a scan of the whole file, once. Answers whether it
  // did (false when it was done already).
  bool Recover();
  bool Recovered() const { return recovered_; }

 private:
  explicit PdfFile(std::vector<std::uint8_t> bytes)
      : bytes_(std::move(bytes)), endstreams_(Bytes(bytes_.data(), bytes_.size())) {}
  Object Load(std::uint32_t num);
  Object LoadAt(std::size_t offset, std::uint32_t num);
  void LoadFromObjectStream(std::uint32_t streamNum);
  Bytes Data() const { return {bytes_.data(), bytes_.size()}; }

  std::vector<std::uint8_t> bytes_;
  EndstreamFinder endstreams_;
  std::size_t headerOffset_ = 0;
  std::string version_;
  XrefTable xref_;
  std::unordered_map<std::uint32_t, Object> cache_;
  std::unordered_set<std::uint32_t> objectStreamsRead_;  // each is decoded once
  std::vector<std::uint32_t> inProgress_;  // objects being loaded (guards reference loops)
  std::unique_ptr<SecurityHandler> security_;
  std::uint32_t encryptNum_ = 0;
  bool encrypted_ = false;
  bool recovered_ = false;
};

}  // namespace lvx::pdf

#endif
