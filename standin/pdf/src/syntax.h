// The file-level syntax around objects: the header, "startxref", and indirect objects
// "N G obj ... endobj" with their stream data located safely even when /Length is wrong.
#ifndef LVXPDF_SYNTAX_H
#define LVXPDF_SYNTAX_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "object.h"
#include "parser.h"

namespace lvx::pdf {

using Bytes = std::span<const std::uint8_t>;

// Offset of "%PDF-" within the first KiB, and the version after it.
std::optional<std::size_t> FindHeader(Bytes data, std::string* version);
// The offset named by the last "startxref" of the file, if any.
std::optional<std::size_t> FindStartXref(Bytes data);
// Position of `needle` at or after `from`, or npos.
std::size_t FindBytes(Bytes data, std::string_view needle, std::size_t from);

// Finds the next "endstream" for streams whose /Length is wrong, remembering its last answer so
// that a scan over many such streams stays linear in the file's size.
class EndstreamFinder {
 public:
  explicit EndstreamFinder(Bytes data) : data_(data) {}
  std::size_t Find(std::size_t from);

 private:
  Bytes data_;
  bool valid_ = false;
  std::size_t from_ = 0;
  std::size_t found_ = 0;
};

struct IndirectObject {
  Ref ref;
  Object object;        // a stream object carries its data's place in the file
  std::size_t end = 0;  // just after the object, or after its stream data
  // False for a stream whose /Length was wrong or missing: its end is a guess (the next
  // "endstream", or the file's end) that may swallow objects.
  bool endKnown = true;
};

// Resolves a stream's indirect /Length; answers a negative value when it cannot.
using LengthResolver = std::function<std::int64_t(Ref)>;

// Reads "N G obj <object> [stream ... endstream]" at `offset`. Answers nothing when the bytes
// there do not start an indirect object, or one numbered `expectedNum` when that is given (the
// body is then not read at all).
std::optional<IndirectObject> ReadIndirectObject(Bytes data, std::size_t offset,
                                                 const LengthResolver& resolveLength,
                                                 const ParseOptions& options = {},
                                                 EndstreamFinder* finder = nullptr,
                                                 std::optional<std::uint32_t> expectedNum = {});

}  // namespace lvx::pdf

#endif
