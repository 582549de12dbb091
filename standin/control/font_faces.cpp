#include "font_faces.h"

#include <windows.h>

#include <array>
#include <new>
#include <set>
#include <string>
#include <utility>

#include "font_family.h"

namespace lvx::standin {
namespace {

// The faces found so far, and whether one of them could not be kept for want of memory.
struct FaceCollection {
  std::set<std::string> faces;
  bool incomplete = false;
};

// Called by GDI for each face: nothing may unwind through it, so a face that cannot be kept ends
// the enumeration and marks the collection incomplete.
int CALLBACK CollectFace(const LOGFONTA* font, const TEXTMETRICA* /*metric*/, DWORD type,
                         LPARAM collection) {
  auto* found = reinterpret_cast<FaceCollection*>(collection);
  if ((type & TRUETYPE_FONTTYPE) != 0) {
    try {
      found->faces.insert(LowerFamily(font->lfFaceName));
    } catch (...) {
      found->incomplete = true;
      return 0;
    }
  }
  return 1;
}

// The installed TrueType font families, lower case; read once per process. Only TrueType faces
// are used: they scale and turn on the screen and print on every printer (Wine's PostScript
// driver fails on Type 1 faces, which it cannot download). A reading cut short by a lack of
// memory throws std::bad_alloc and is not kept, so the next use reads the faces again.
const std::set<std::string>& InstalledFaces() {
  static const std::set<std::string> faces = [] {
    FaceCollection found;
    const HDC screen = GetDC(nullptr);
    LOGFONTA all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(screen, &all, CollectFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    if (found.incomplete) {
      throw std::bad_alloc();
    }
    return std::move(found.faces);
  }();
  return faces;
}

constexpr std::array<const char*, 6> kSans{"Arial",           "Helvetica",   "Nimbus Sans",
                                           "Liberation Sans", "DejaVu Sans", "Tahoma"};
constexpr std::array<const char*, 6> kSerif{"Times New Roman",  "Times",        "Nimbus Roman",
                                            "Liberation Serif", "DejaVu Serif", "Georgia"};
constexpr std::array<const char*, 6> kMono{"Courier New",     "Courier",          "Nimbus Mono PS",
                                           "Liberation Mono", "DejaVu Sans Mono", "Lucida Console"};
constexpr std::array<const char*, 3> kSymbol{"Symbol", "Standard Symbols PS", "Wingdings"};

template <std::size_t N>
std::string FirstInstalled(const std::array<const char*, N>& candidates) {
  for (const char* face : candidates) {
    if (InstalledFaces().contains(LowerFamily(face))) {
      return face;
    }
  }
  for (const char* face : kSans) {
    if (InstalledFaces().contains(LowerFamily(face))) {
      return face;
    }
  }
  return candidates.front();  // GDI finds its own substitute
}

}  // namespace

std::string GdiFaceFor(std::string_view pdfFamily) {
  const std::string lower = LowerFamily(pdfFamily);
  if (!lower.empty() && InstalledFaces().contains(lower)) {
    return std::string(pdfFamily);
  }
  if (Mentions(lower, {"courier", "mono", "consol", "typewriter"})) {
    return FirstInstalled(kMono);
  }
  if (Mentions(lower, {"symbol", "dingbat"})) {
    return FirstInstalled(kSymbol);
  }
  if (Mentions(lower, {"times", "roman", "serif", "georgia", "garamond", "palatino", "book",
                       "minion", "cambria", "century"}) &&
      !Mentions(lower, {"sans"})) {
    return FirstInstalled(kSerif);
  }
  return FirstInstalled(kSans);
}

}  // namespace lvx::standin
