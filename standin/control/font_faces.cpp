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

// The faces of each kind, in order of preference.
constexpr std::array<const char*, 6> kSans{"Arial",       "Helvetica",       "Nimbus Sans",
                                           "DejaVu Sans", "Liberation Sans", "Tahoma"};
constexpr std::array<const char*, 6> kSerif{
    "Times New Roman", "Times", "Nimbus Roman", "DejaVu Serif", "Liberation Serif", "Georgia"};
constexpr std::array<const char*, 6> kMono{"Courier New",      "Courier",         "Nimbus Mono PS",
                                           "DejaVu Sans Mono", "Liberation Mono", "Lucida Console"};
constexpr std::array<const char*, 3> kSymbol{"Symbol", "Standard Symbols PS", "Wingdings"};

// Faces drawn to the widths of Helvetica, Times and Courier, for the families of those names: a
// file places each glyph at its font's widths, so a face of the same widths fills them, where the
// kind's first face (DejaVu under Wine) leaves gaps after narrow letters or runs letters together.
// Other families of a kind do not get them: a wider design (Palatino, say) drawn in a narrower
// face would open gaps inside its words.
constexpr std::array<const char*, 3> kHelveticaWidths{"Arial", "Helvetica", "Liberation Sans"};
constexpr std::array<const char*, 3> kTimesWidths{"Times New Roman", "Times", "Liberation Serif"};
constexpr std::array<const char*, 3> kCourierWidths{"Courier New", "Courier", "Liberation Mono"};

template <std::size_t N>
const char* InstalledOf(const std::array<const char*, N>& candidates) {
  for (const char* face : candidates) {
    if (InstalledFaces().contains(LowerFamily(face))) {
      return face;
    }
  }
  return nullptr;
}

// The first installed face of `candidates`, else of the sans serif faces, else the first
// candidate, for which GDI finds its own substitute.
template <std::size_t N>
std::string FirstInstalled(const std::array<const char*, N>& candidates) {
  if (const char* face = InstalledOf(candidates)) {
    return face;
  }
  if (const char* face = InstalledOf(kSans)) {
    return face;
  }
  return candidates.front();
}

// The face of a standard font's widths for a family named after that font, or null when the
// family is not one of them (or a narrowed cut of one) or no such face is installed.
const char* SameWidthsFace(std::string_view lowerFamily) {
  if (Mentions(lowerFamily, {"narrow", "condensed", "compressed", "black"})) {
    return nullptr;
  }
  if (Mentions(lowerFamily, {"helvetica", "arial"})) {
    return InstalledOf(kHelveticaWidths);
  }
  if (Mentions(lowerFamily, {"times"})) {
    return InstalledOf(kTimesWidths);
  }
  if (Mentions(lowerFamily, {"courier"})) {
    return InstalledOf(kCourierWidths);
  }
  return nullptr;
}

}  // namespace

std::string GdiFaceFor(std::string_view pdfFamily) {
  const std::string lower = LowerFamily(pdfFamily);
  if (!lower.empty() && InstalledFaces().contains(lower)) {
    return std::string(pdfFamily);
  }
  if (const char* face = SameWidthsFace(lower)) {
    return face;
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
