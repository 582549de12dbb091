// A PDF file's objects: opens the bytes, finds the cross-reference data (or recovers it), sets up
// decryption, and loads, caches and resolves objects and decodes streams on demand. The caches of
// objects and of decoded object streams keep to a budget of bytes: what was evicted is read again
// when it is needed, so memory does not grow with the pages read.
#ifndef LVXPDF_FILE_H
#define LVXPDF_FILE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "derived_cache.h"
#include "file_bytes.h"
#include "filters.h"
#include "lvxpdf/byte_budget_cache.h"
#include "lvxpdf/document.h"
#include "object.h"
#include "security.h"
#include "xref.h"

namespace lvx::pdf {

class PdfFile {
 public:
  // Reads the structure of `bytes`. On failure answers null with `error` set.
  static std::unique_ptr<PdfFile> Open(FileBytes bytes, OpenError& error);

  // Byte budgets of the caches.
  static constexpr std::size_t kObjectCacheBytes = std::size_t{2} << 20;
  static constexpr std::size_t kObjectStreamCacheBytes = std::size_t{2} << 20;
  static constexpr std::size_t kReleaseBytes = std::size_t{256} << 10;

  // The object `ref` names; null when it does not exist or cannot be read.
  Object Get(Ref ref);
  // `object` itself, or what it refers to.
  Object Resolve(const Object& object);
  // A dictionary entry, resolved.
  Object Get(const Dict& dict, std::string_view key) { return Resolve(dict.Get(key)); }

  // The decrypted and decoded data of a stream, bounded by `limit`.
  std::vector<std::uint8_t> Decode(const Stream& stream, std::size_t limit = kMaxDecodedStream,
                                   FilterStatus* status = nullptr);

  // A copy of a stream's dictionary whose Filter and DecodeParms have every reference in them
  // resolved (the names of a filter list and the values of each parameter dictionary too), for
  // the filter chain, which reads no references; nullopt when they hold none.
  std::optional<Dict> ResolvedFilters(const Dict& dict);

  const Dict& Trailer() const { return xref_.trailer; }
  const std::string& Version() const { return version_; }
  bool Encrypted() const { return encrypted_; }
  // Replaces the cross-reference data with a scan of the whole file, once. Answers whether it
  // did (false when it was done already).
  bool Recover();
  bool Recovered() const { return recovered_; }
  // Hands the file's mapped pages back to the system (between pages of reading): at once when
  // `always`, else once the reads since the last time may have touched kReleaseBytes of it, so
  // that pages of little data do not pay a system call each.
  void ReleaseFileMemory(bool always) {
    if (always || touched_ >= kReleaseBytes) {
      bytes_.Release();
      touched_ = 0;
    }
  }
  // What the caches hold now, in bytes.
  std::size_t CachedBytes() const {
    return cache_.Bytes() + objectStreams_.Bytes() + derived_.Bytes();
  }
  // Colour spaces, functions and shadings made from this file's objects.
  DerivedCache& Derived() { return derived_; }

 private:
  // A decoded object stream and where each of its objects starts.
  struct ObjectStream {
    std::vector<std::uint8_t> data;
    std::vector<std::pair<std::uint32_t, std::size_t>> objects;  // number, offset in `data`
  };

  explicit PdfFile(FileBytes bytes) : bytes_(std::move(bytes)), endstreams_(bytes_.Data()) {}
  Object Load(std::uint32_t num);
  Object LoadAt(std::size_t offset, std::uint32_t num);
  Object LoadFromObjectStream(std::uint32_t streamNum, std::uint32_t num, std::uint32_t index);
  std::shared_ptr<const ObjectStream> DecodeObjectStream(std::uint32_t streamNum);
  void ClearCaches();
  Bytes Data() const { return bytes_.Data(); }

  FileBytes bytes_;
  std::size_t touched_ = 0;  // bytes of the file read since its pages were last released
  EndstreamFinder endstreams_;
  std::size_t headerOffset_ = 0;
  std::string version_;
  XrefTable xref_;
  ByteBudgetCache<std::uint32_t, Object> cache_{kObjectCacheBytes};
  ByteBudgetCache<std::uint32_t, std::shared_ptr<const ObjectStream>> objectStreams_{
      kObjectStreamCacheBytes};
  DerivedCache derived_;
  std::vector<std::uint32_t> inProgress_;  // objects being loaded (guards reference loops)
  std::unique_ptr<SecurityHandler> security_;
  std::uint32_t encryptNum_ = 0;
  bool encrypted_ = false;
  bool recovered_ = false;
};

}  // namespace lvx::pdf

#endif
