#include "file_bytes.h"

#include <cstdio>
#include <memory>
#include <new>
#include <utility>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lvx::pdf {
namespace {

// Reads the whole file through the C library (where it cannot be mapped).
FileBytes ReadWhole(const std::string& path, OpenError& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(path.c_str(), "rb"),
                                                         std::fclose);
  if (!stream) {
    error = OpenError::kFileNotFound;
    return FileBytes(std::vector<std::uint8_t>{});
  }
  std::vector<std::uint8_t> bytes;
  try {
    std::vector<std::uint8_t> chunk(65536);
    for (;;) {
      const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), stream.get());
      if (got == 0) {
        break;
      }
      if (bytes.size() + got > kMaxFileSize) {
        error = OpenError::kTooLarge;
        return FileBytes(std::vector<std::uint8_t>{});
      }
      bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    }
  } catch (const std::bad_alloc&) {
    error = OpenError::kTooLarge;
    return FileBytes(std::vector<std::uint8_t>{});
  }
  if (std::ferror(stream.get()) != 0) {
    error = OpenError::kFileNotFound;  // a folder, or a read error
    return FileBytes(std::vector<std::uint8_t>{});
  }
  return FileBytes(std::move(bytes));
}

}  // namespace

FileBytes FileBytes::Open(const std::string& path, OpenError& error) {
  error = OpenError::kNone;
#if !defined(_WIN32)
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = OpenError::kFileNotFound;
    return FileBytes(std::vector<std::uint8_t>{});
  }
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (regular && static_cast<std::uint64_t>(info.st_size) > kMaxFileSize) {
    ::close(fd);
    error = OpenError::kTooLarge;
    return FileBytes(std::vector<std::uint8_t>{});
  }
  if (regular && info.st_size > 0) {
    const auto size = static_cast<std::size_t>(info.st_size);
    void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (address != MAP_FAILED) {
      FileBytes bytes;
      bytes.mapped_ = static_cast<const std::uint8_t*>(address);
      bytes.mappedSize_ = size;
      return bytes;
    }
  } else {
    ::close(fd);
  }
#endif
  return ReadWhole(path, error);
}

// NOLINTNEXTLINE(modernize-use-equals-default): empty only in the Windows build, which reads.
FileBytes::~FileBytes() {
#if !defined(_WIN32)
  if (mapped_ != nullptr) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): munmap takes the address it gave.
    ::munmap(const_cast<std::uint8_t*>(mapped_), mappedSize_);
  }
#endif
}

FileBytes::FileBytes(FileBytes&& other) noexcept
    : owned_(std::move(other.owned_)),
      mapped_(std::exchange(other.mapped_, nullptr)),
      mappedSize_(std::exchange(other.mappedSize_, 0)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
  if (this != &other) {
    FileBytes old(std::move(*this));
    owned_ = std::move(other.owned_);
    mapped_ = std::exchange(other.mapped_, nullptr);
    mappedSize_ = std::exchange(other.mappedSize_, 0);
  }
  return *this;
}

void FileBytes::Release() const {
#if !defined(_WIN32)
  if (mapped_ != nullptr) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): madvise takes the mapped address.
    ::madvise(const_cast<std::uint8_t*>(mapped_), mappedSize_, MADV_DONTNEED);
  }
#endif
}

}  // namespace lvx::pdf
