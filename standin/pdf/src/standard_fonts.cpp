#include "standard_fonts.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "encodings.h"

namespace lvx::pdf {
namespace {

#include "standard_metrics.inc"

// Families that stand for a standard one (the metric-compatible faces of common systems).
constexpr std::pair<std::string_view, std::string_view> kFamilies[] = {
    {"Times", "Times"},           {"TimesRoman", "Times"}, {"TimesNewRoman", "Times"},
    {"Helvetica", "Helvetica"},   {"Arial", "Helvetica"},  {"Courier", "Courier"},
    {"CourierNew", "Courier"},    {"Symbol", "Symbol"},    {"ZapfDingbats", "ZapfDingbats"},
    {"Dingbats", "ZapfDingbats"},
};

const StandardFontMetrics* Named(std::string_view name) {
  for (const StandardFontMetrics& font : kStandardFonts) {
    if (name == font.name) {
      return &font;
    }
  }
  return nullptr;
}

}  // namespace

const StandardFontMetrics* FindStandardFont(std::string_view family, bool bold, bool italic) {
  const auto* found = std::find_if(std::begin(kFamilies), std::end(kFamilies),
                                   [&](const auto& entry) { return entry.first == family; });
  if (found == std::end(kFamilies)) {
    return nullptr;
  }
  const std::string_view base = found->second;
  if (base == "Symbol" || base == "ZapfDingbats") {
    return Named(base);
  }
  const bool times = base == "Times";
  std::string name(base);
  if (bold || italic) {
    name += '-';
    name += bold ? "Bold" : "";
    name += italic ? (times ? "Italic" : "Oblique") : "";
  } else if (times) {
    name += "-Roman";
  }
  return Named(name);
}

void ApplyStandardWidths(const StandardFontMetrics& font,
                         const std::array<std::u32string, 256>& codeText, bool builtInCodes,
                         std::array<double, 256>& widths) {
  if (builtInCodes) {
    for (const StandardGlyph& glyph : font.glyphs) {
      if (glyph.code >= 0 && glyph.code < 256) {
        widths[static_cast<std::size_t>(glyph.code)] = glyph.width / 1000.0;
      }
    }
    return;
  }
  std::vector<std::pair<std::u32string, double>> byText;
  byText.reserve(font.glyphs.size());
  for (const StandardGlyph& glyph : font.glyphs) {
    std::u32string text = GlyphNameToUnicode(glyph.name);
    if (!text.empty()) {
      byText.emplace_back(std::move(text), glyph.width / 1000.0);
    }
  }
  std::sort(byText.begin(), byText.end());
  for (std::size_t code = 0; code < codeText.size(); ++code) {
    if (codeText[code].empty()) {
      continue;
    }
    const auto found = std::lower_bound(
        byText.begin(), byText.end(), codeText[code],
        [](const auto& entry, const std::u32string& key) { return entry.first < key; });
    if (found != byText.end() && found->first == codeText[code]) {
      widths[code] = found->second;
    }
  }
}

}  // namespace lvx::pdf
