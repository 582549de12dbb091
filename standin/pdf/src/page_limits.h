// What interpreting one page may cost, in time and in memory. The same numbers in every build:
// each fits a 32-bit process, so the 64-bit build and the native fuzzers refuse exactly what the
// 32-bit build refuses.
//
// Time: every unit of work counts against one budget per page (kPageWorkUnits): operators and
// shown glyphs, content bytes read, points copied into paths, function evaluations and calculator
// steps, decoded image samples and produced pixels. A unit is a few nanoseconds of work, so the
// budget holds one page to a few seconds whatever the file asks (bench_worst_pages measures it).
// A page that runs over stops where it is and shows what was drawn.
//
// Memory: one page's display list holds at most kPageImageBytes of image pixels (an image placed
// many times is held once) and kMaxCommands commands; forms are decoded once per page within
// kPageFormBytes. Images are sampled down to kMaxImagePixels. What does not fit is left out of
// the page, never asked of the allocator. The document's caches keep their own budgets
// (PdfFile, FontCache, DerivedCache); the viewer's caches are bounded by the stand-in.
#ifndef LVXPDF_PAGE_LIMITS_H
#define LVXPDF_PAGE_LIMITS_H

#include <cstddef>
#include <cstdint>

namespace lvx::pdf {

// Nesting and sizes.
inline constexpr int kMaxDrawingDepth = 12;  // forms and glyph procedures inside each other
inline constexpr std::size_t kMaxSavedStates = 256;
inline constexpr std::size_t kMaxOperands = 4096;
inline constexpr std::size_t kMaxPathPoints = std::size_t{1} << 20;
inline constexpr std::size_t kMaxCommands = std::size_t{1} << 18;

// Work, in units (see WorkBudget).
inline constexpr std::uint64_t kPageWorkUnits = 320'000'000;
inline constexpr std::uint64_t kOperatorCost = 16;  // one operator, or one shown glyph
inline constexpr std::uint64_t kFunctionCost = 4;   // one function evaluation, before its steps

// Memory.
inline constexpr std::uint64_t kMaxImageSide = std::uint64_t{1} << 17;
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t{12} << 20;
inline constexpr std::uint64_t kPageImageBytes = std::uint64_t{96} << 20;
inline constexpr std::uint64_t kPageFormBytes = std::uint64_t{64} << 20;

}  // namespace lvx::pdf

#endif
