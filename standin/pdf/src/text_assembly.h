// Turns positioned glyphs, in content-stream order, into a page's text and its text runs: a
// space where the gap between two glyphs is wider than a fraction of the font size, a line break
// where the baseline changes or the text jumps back. Gaps are measured in the text space of the
// glyph before, along its own baseline, so that rotated, skewed and condensed text breaks into
// words as upright text does.
#ifndef LVXPDF_TEXT_ASSEMBLY_H
#define LVXPDF_TEXT_ASSEMBLY_H

#include <string>
#include <vector>

#include "lvxpdf/document.h"

namespace lvx::pdf {

class Font;

struct PlacedGlyph {
  std::u32string text;
  double x = 0;  // origin on the baseline, page space
  double y = 0;
  double endX = 0;  // where the next glyph would start without a gap
  double endY = 0;
  double size = 0;  // font size in page space
  double dirX = 1;  // unit vector along the baseline
  double dirY = 0;
  // Text space: the page-space images of one unit along the baseline (textA, textB) and one unit
  // up (textC, textD); the glyph's advance and its font's em across and up, in text space units.
  double textA = 1, textB = 0, textC = 0, textD = 1;
  double advance = 0;
  double emWidth = 0;
  double emHeight = 0;
  const Font* font = nullptr;
};

struct PageBox {
  double left = 0, bottom = 0, right = 612, top = 792;
};

class TextAssembler {
 public:
  explicit TextAssembler(const PageBox& box, bool keepRuns) : box_(box), keepRuns_(keepRuns) {}

  void Add(const PlacedGlyph& glyph);
  // The page's text, UTF-8; every line ends with CR LF.
  std::string Text();
  std::vector<TextRun> Runs();

 private:
  void Separate(bool lineBreak);
  void AppendText(const std::u32string& text);
  void FinishLine();
  void FinishRun();

  PageBox box_;
  bool keepRuns_;
  bool started_ = false;
  PlacedGlyph previous_;
  std::u32string line_;
  std::string text_;
  std::vector<TextRun> runs_;
  bool runOpen_ = false;
  TextRun run_;
  std::u32string runText_;
  double runStartX_ = 0, runStartY_ = 0;
};

// UTF-32 to UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace lvx::pdf

#endif
