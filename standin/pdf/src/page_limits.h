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
// Memory, within the stand-in's budget of 256 MiB (standin/control/memory_budget.h), the
// reader's part:
//   one page's display list: image pixels (an image placed many times is held once)  48 MiB
//                            commands with their paths, glyphs and ramps             24 MiB
//   while a page is read:    its content streams, joined                             32 MiB
//                            its forms, each decoded once                            16 MiB
//                            one image's samples while they are decoded              32 MiB
//   the document's caches:   objects 4 MiB, fonts 4 MiB, colour spaces, functions
//                            and shadings 8 MiB (PdfFile, FontCache, DerivedCache)   16 MiB
//                            the drawing fonts: glyph outlines and the programs of
//                            composite fonts (DrawingFontCache)                       8 MiB
//   FreeType (font_engine.h): the drawing fonts' library, and the one a font's
//                            text opens while it is loaded, 4 MiB each                8 MiB
//   the document's page list: kMaxPages pages (page_tree.h)                          10 MiB
//                                                                                   -------
//                                                                                   194 MiB
// Images are sampled down to kMaxImagePixels, and further to fit what the page's images may
// still hold. What does not fit is left out of the page, never asked of the allocator.
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

// Work, in units (see WorkBudget). Sanitizer builds (the fuzz targets) run some 20 to 40 times
// slower, so they divide the budget, and a page's time there stays within the fuzzer's timeout;
// the limits on sizes and memory are the same in every build.
#ifndef LVX_PAGE_WORK_DIVISOR
#define LVX_PAGE_WORK_DIVISOR 1  // NOLINT(cppcoreguidelines-macro-usage): set by the fuzz build
#endif
inline constexpr std::uint64_t kPageWorkUnits = 320'000'000 / LVX_PAGE_WORK_DIVISOR;
inline constexpr std::uint64_t kOperatorCost = 16;  // one operator, or one shown glyph
inline constexpr std::uint64_t kFunctionCost = 4;   // one function evaluation, before its steps

// Memory.
inline constexpr std::uint64_t kMaxImageSide = std::uint64_t{1} << 17;
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t{12} << 20;
inline constexpr std::uint64_t kPageImageBytes = std::uint64_t{48} << 20;
inline constexpr std::uint64_t kPageListBytes = std::uint64_t{24} << 20;
inline constexpr std::uint64_t kPageContentBytes = std::uint64_t{32} << 20;
inline constexpr std::uint64_t kPageFormBytes = std::uint64_t{16} << 20;
inline constexpr std::uint64_t kImageSampleBytes = std::uint64_t{32} << 20;

}  // namespace lvx::pdf

#endif
