// The stand-in's memory budget. The stand-in runs inside its host's process, and a 32-bit host
// has 2 GiB of address space in all, so whatever a file contains, the stand-in holds at most
// 256 MiB of document data at a time:
//
//   the reader: the page being drawn, what it reads for it, its caches,
//               the document's page list, its fonts' outlines           194 MiB  (page_limits.h)
//   the drawing cache: display lists of recently drawn pages             22 MiB  kDrawingCacheBytes
//   the picture cache: decoded JPEG pictures                             24 MiB  kPictureCacheBytes
//   embedded fonts loaded into GDI (its copy of the programs)            16 MiB  kEmbeddedFontBytes
//                                                                       -------
//                                                                       256 MiB
//
// Painting one image needs, for that image only and while it is drawn, a few copies of its
// pixels (turned, as a DIB); kMaxPicturePixels bounds a decoded picture and so those copies.
#ifndef LUMIVEX_STANDIN_MEMORY_BUDGET_H
#define LUMIVEX_STANDIN_MEMORY_BUDGET_H

#include <cstddef>
#include <cstdint>

namespace lvx::standin {

inline constexpr std::size_t kMiB = std::size_t{1} << 20;

inline constexpr std::size_t kDrawingCacheBytes = 22 * kMiB;
inline constexpr std::size_t kPictureCacheBytes = 24 * kMiB;
inline constexpr std::size_t kEmbeddedFontBytes = 16 * kMiB;

// The most pixels a decoded JPEG picture has (24 MiB of RGB): larger pictures are decoded
// reduced, by the codec's scaler, to no more pixels than this.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{8} << 20;

// The most pixels an image may have to be painted (48 MiB of RGB, each copy made while painting
// it): the reader keeps images within this; anything larger is refused and not drawn.
inline constexpr std::uint64_t kMaxPaintedPixels = std::uint64_t{16} << 20;

}  // namespace lvx::standin

#endif
