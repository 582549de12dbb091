// The bytes of a PDF file: read into memory, or (on POSIX systems) mapped from the file so that
// the pages of it that a read touched can be handed back to the system afterwards. A document
// read page after page then holds only what the page being read needs, not the whole file.
#ifndef LVXPDF_FILE_BYTES_H
#define LVXPDF_FILE_BYTES_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "lvxpdf/document.h"

namespace lvx::pdf {

class FileBytes {
 public:
  explicit FileBytes(std::vector<std::uint8_t> bytes) : owned_(std::move(bytes)) {}
  // The file at `path`, mapped where the system allows it, else read whole. On failure the
  // result is empty and `error` says why (kFileNotFound, kTooLarge).
  static FileBytes Open(const std::string& path, OpenError& error);

  ~FileBytes();
  FileBytes(FileBytes&& other) noexcept;
  FileBytes& operator=(FileBytes&& other) noexcept;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  [[nodiscard]] std::span<const std::uint8_t> Data() const {
    return mapped_ != nullptr ? std::span<const std::uint8_t>(mapped_, mappedSize_)
                              : std::span<const std::uint8_t>(owned_);
  }
  // Lets the system take back the mapped pages read so far (they are read again from the file
  // when needed). Nothing happens for bytes read into memory.
  void Release() const;

 private:
  FileBytes() = default;

  std::vector<std::uint8_t> owned_;
  const std::uint8_t* mapped_ = nullptr;
  std::size_t mappedSize_ = 0;
};

}  // namespace lvx::pdf

#endif
