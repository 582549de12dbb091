// A document's embedded TrueType and OpenType fonts, loaded for this process only
// (AddFontMemResourceEx, so that no other program sees them) under the unique family name the
// reader gave each program, with the GDI fonts made of them by size and direction.
#ifndef LUMIVEX_STANDIN_EMBEDDED_FONTS_H
#define LUMIVEX_STANDIN_EMBEDDED_FONTS_H

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "gdi_objects.h"
#include "lvxpdf/display_list.h"

namespace lvx::standin {

struct RemoveFontMemResource {
  void operator()(HANDLE resource) const { RemoveFontMemResourceEx(resource); }
};

// A font program loaded with AddFontMemResourceEx (RemoveFontMemResourceEx).
using FontResource = OwnedHandle<HANDLE, RemoveFontMemResource>;

// Loads at most kPrograms programs of kEmbeddedFontBytes (memory_budget.h) in all; a program
// larger than that is not loaded, and its text is drawn in an installed face.
class EmbeddedFonts {
 public:
  EmbeddedFonts() = default;
  ~EmbeddedFonts() { Clear(); }
  EmbeddedFonts(const EmbeddedFonts&) = delete;
  EmbeddedFonts& operator=(const EmbeddedFonts&) = delete;
  EmbeddedFonts(EmbeddedFonts&&) = delete;
  EmbeddedFonts& operator=(EmbeddedFonts&&) = delete;

  // A GDI font of the font's embedded program, `pixelHeight` pixels to the em, turned by
  // `escapement` tenths of a degree; null when it has none or GDI does not take it.
  HFONT Font(const std::shared_ptr<const pdf::DrawFont>& font, int pixelHeight, int escapement);
  // Unloads every program (when the document changes).
  void Clear();
  // How many programs are loaded now.
  [[nodiscard]] std::size_t Loaded() const { return programs_.size(); }

 private:
  static constexpr std::size_t kPrograms = 64;
  static constexpr std::size_t kFontsPerProgram = 16;
  struct Program {
    std::shared_ptr<const pdf::DrawFont> font;  // kept, so that its address stays its key
    FontResource resource;                      // unloaded after the fonts made of it
    std::map<std::pair<int, int>, GdiObject<HFONT>> fonts;
  };
  std::map<const pdf::DrawFont*, Program> programs_;
  std::size_t bytes_ = 0;  // of the programs loaded
};

}  // namespace lvx::standin

#endif
