#include "text_assembly.h"

#include <algorithm>
#include <cmath>

#include "font.h"

namespace lvx::pdf {
namespace {

// A gap wider than this share of the font size separates words.
constexpr double kWordGap = 0.15;
// A baseline that moves more than this share of the font size starts a new line.
constexpr double kLineShift = 0.5;
// Moving back along the baseline further than this share of the size starts a new line.
constexpr double kJumpBack = 1.0;
// Glyphs this far (in points) outside the page box are not on the page.
constexpr double kPageMargin = 2.0;

// Where `next` starts, seen from the end of `previous` in the text space of `previous`: `along`
// its baseline and `across` it, with the word and line thresholds in the same units (the larger
// of the two glyphs' em). Answers false when that text space is degenerate.
struct Offset {
  double along, across, emWidth, emHeight;
};

bool TextSpaceOffset(const PlacedGlyph& previous, const PlacedGlyph& next, Offset& offset) {
  const double det = previous.textA * previous.textD - previous.textB * previous.textC;
  if (!(std::fabs(det) > 1e-12) || !(previous.size > 0) || !(previous.emHeight > 0)) {
    return false;
  }
  const double dx = next.x - previous.x;
  const double dy = next.y - previous.y;
  const double u = (dx * previous.textD - dy * previous.textC) / det;
  const double v = (dy * previous.textA - dx * previous.textB) / det;
  const double grow = std::max(1.0, next.size / previous.size);
  offset = {u - previous.advance, v, previous.emWidth * grow, previous.emHeight * grow};
  return std::isfinite(offset.along) && std::isfinite(offset.across);
}

bool IsSpace(char32_t c) {
  return c == U' ' || c == 0xA0 || (c >= 0x2000 && c <= 0x200B) || c == 0x3000;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c <= 0x10FFFF) {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void TextAssembler::Add(const PlacedGlyph& glyph) {
  if (glyph.x < box_.left - kPageMargin || glyph.x > box_.right + kPageMargin ||
      glyph.y < box_.bottom - kPageMargin || glyph.y > box_.top + kPageMargin) {
    return;  // drawn off the page: not visible, not text of the page
  }
  if (started_) {
    Offset offset{};
    if (!TextSpaceOffset(previous_, glyph, offset)) {
      // A degenerate text space: measure in page space along the baseline.
      const double size = std::max({previous_.size, glyph.size, 0.1});
      const double dx = glyph.x - previous_.endX;
      const double dy = glyph.y - previous_.endY;
      offset = {dx * previous_.dirX + dy * previous_.dirY,
                -dx * previous_.dirY + dy * previous_.dirX, size, size};
    }
    const double size = std::max(previous_.size, glyph.size);
    const bool turned = previous_.dirX * glyph.dirX + previous_.dirY * glyph.dirY < 0.9;
    if (std::fabs(offset.across) > kLineShift * offset.emHeight ||
        offset.along < -kJumpBack * offset.emWidth || turned) {
      Separate(true);
    } else if (offset.along > kWordGap * offset.emWidth) {
      Separate(false);
    } else if (keepRuns_ && runOpen_ &&
               (glyph.font != previous_.font ||
                std::fabs(glyph.size - previous_.size) > 0.01 * size)) {
      FinishRun();
    }
  }
  started_ = true;
  previous_ = glyph;
  if (keepRuns_ && !runOpen_) {
    runOpen_ = true;
    run_ = TextRun{};
    run_.x = glyph.x;
    run_.y = glyph.y;
    run_.fontSize = glyph.size;
    if (glyph.font != nullptr) {
      run_.fontFamily = glyph.font->Family();
      run_.bold = glyph.font->Bold();
      run_.italic = glyph.font->Italic();
    }
    runText_.clear();
    runStartX_ = glyph.x;
    runStartY_ = glyph.y;
  }
  AppendText(glyph.text);
  if (keepRuns_) {
    for (const char32_t c : glyph.text) {
      if (c >= 0x20) {
        runText_.push_back(c);
      }
    }
    run_.width = (glyph.endX - runStartX_) * glyph.dirX + (glyph.endY - runStartY_) * glyph.dirY;
  }
}

void TextAssembler::AppendText(const std::u32string& text) {
  for (char32_t c : text) {
    if (c == U'\t') {
      c = U' ';
    }
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFEFF || (c >= 0xD800 && c <= 0xDFFF)) {
      continue;  // control characters carry nothing printable (and a NUL would cut the text)
    }
    if (IsSpace(c)) {
      if (line_.empty() || line_.back() == U' ') {
        continue;
      }
      c = U' ';
    }
    line_.push_back(c);
  }
}

void TextAssembler::Separate(bool lineBreak) {
  if (keepRuns_) {
    FinishRun();
  }
  if (lineBreak) {
    FinishLine();
  } else if (!line_.empty() && line_.back() != U' ') {
    line_.push_back(U' ');
  }
}

void TextAssembler::FinishLine() {
  while (!line_.empty() && line_.back() == U' ') {
    line_.pop_back();
  }
  if (line_.empty()) {
    return;
  }
  for (const char32_t c : line_) {
    AppendUtf8(text_, c);
  }
  text_ += "\r\n";
  line_.clear();
}

void TextAssembler::FinishRun() {
  if (!runOpen_) {
    return;
  }
  runOpen_ = false;
  while (!runText_.empty() && runText_.back() == U' ') {
    runText_.pop_back();
  }
  if (runText_.empty()) {
    return;
  }
  for (const char32_t c : runText_) {
    AppendUtf8(run_.text, c);
  }
  runs_.push_back(std::move(run_));
}

std::string TextAssembler::Text() {
  FinishLine();
  return std::move(text_);
}

std::vector<TextRun> TextAssembler::Runs() {
  FinishRun();
  return std::move(runs_);
}

}  // namespace lvx::pdf
