// Memory that does not grow with what is read: the byte-budget cache, the file's object caches
// (objects packed in object streams are read again after eviction), the font cache, and a whole
// document read twice giving the same text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "file.h"
#include "font_cache.h"
#include "lvxpdf/byte_budget_cache.h"
#include "pdf_builder.h"

namespace lvx::pdf {
namespace {

using test::PdfBuilder;
using test::XrefForm;

TEST(ByteBudgetCacheTest, EvictsTheLeastRecentlyUsedBeyondTheBudget) {
  ByteBudgetCache<int, std::string> cache(100);
  cache.Put(1, "one", 40);
  cache.Put(2, "two", 40);
  ASSERT_NE(cache.Find(1), nullptr);  // 1 is now the more recent
  cache.Put(3, "three", 40);          // 120 bytes: 2 goes
  EXPECT_EQ(cache.Find(2), nullptr);
  EXPECT_EQ(*cache.Find(1), "one");
  EXPECT_EQ(*cache.Find(3), "three");
  EXPECT_EQ(cache.Bytes(), 80U);
  // Replacing counts the new size only; a value larger than the budget stays until the next.
  cache.Put(1, "uno", 10);
  EXPECT_EQ(cache.Bytes(), 50U);
  EXPECT_EQ(cache.Put(4, "huge", 500), "huge");
  EXPECT_EQ(cache.Size(), 1U);
  EXPECT_EQ(cache.Bytes(), 500U);
  cache.Put(5, "five", 10);
  EXPECT_EQ(cache.Find(4), nullptr);
  EXPECT_EQ(cache.Bytes(), 10U);
  cache.Erase(5);
  cache.Erase(6);
  EXPECT_EQ(cache.Size(), 0U);
  EXPECT_EQ(cache.Bytes(), 0U);
}

// Objects of about 1 KB each, packed in one object stream, more of them than the caches hold.
TEST(FileCacheTest, ObjectsFromObjectStreamsAreReadAgainAfterEviction) {
  constexpr int kObjects = 6000;
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [] /Count 0 >>");
  std::vector<int> numbers;
  numbers.reserve(kObjects);
  for (int i = 0; i < kObjects; ++i) {
    numbers.push_back(pdf.Add("<< /Index " + std::to_string(i) + " /Fill (" +
                              std::string(1000, static_cast<char>('a' + i % 26)) + ") >>"));
  }
  OpenError error = OpenError::kNone;
  const auto file =
      PdfFile::Open(FileBytes(test::ToBytes(pdf.Build(catalog, XrefForm::kObjectStreams))), error);
  ASSERT_TRUE(file);
  // The budgets, plus the one decoded object stream (larger than its budget, it stays while it
  // is the last one decoded).
  const std::size_t bound =
      PdfFile::kObjectCacheBytes + PdfFile::kObjectStreamCacheBytes + std::size_t{kObjects} * 1100;
  for (int round = 0; round < 2; ++round) {
    for (int k = 0; k < kObjects; ++k) {
      const int i = round == 0 ? k : kObjects - 1 - k;
      const Object object = file->Get(Ref{static_cast<std::uint32_t>(numbers[i]), 0});
      ASSERT_EQ(object.AsDict().Get("Index").AsInt(-1), i);
      ASSERT_EQ(object.AsDict().Get("Fill").AsString().size(), 1000U);
      ASSERT_LE(file->CachedBytes(), bound);
    }
  }
  EXPECT_FALSE(file->Recovered());
}

TEST(FontCacheTest, KeepsToItsBudgetAndLoadsEvictedFontsAgain) {
  constexpr int kFonts = 1500;
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [] /Count 0 >>");
  const int cmap = pdf.AddStream(
      "",
      "begincmap 1 begincodespacerange <00> <FF> endcodespacerange 1 beginbfrange <41> <5A>"
      " <03B1> endbfrange endcmap");
  std::vector<int> fonts;
  fonts.reserve(kFonts);
  for (int i = 0; i < kFonts; ++i) {
    fonts.push_back(pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /F" + std::to_string(i) +
                            " /ToUnicode " + std::to_string(cmap) + " 0 R >>"));
  }
  OpenError error = OpenError::kNone;
  const auto file = PdfFile::Open(FileBytes(test::ToBytes(pdf.Build(catalog))), error);
  ASSERT_TRUE(file);
  FontCache cache;
  std::size_t largest = 0;
  std::vector<Glyph> glyphs;
  for (int round = 0; round < 2; ++round) {
    for (const int num : fonts) {
      const auto font = cache.Get(*file, Object(Ref{static_cast<std::uint32_t>(num), 0}));
      ASSERT_TRUE(font);
      largest = std::max(largest, font->Footprint());
      font->Decode("AB", glyphs);
      ASSERT_EQ(glyphs.size(), 2U);
      ASSERT_EQ(glyphs[1].text, U"\u03B2");
      ASSERT_LE(cache.Bytes(), FontCache::kBudgetBytes + largest);
    }
  }
  // The fonts do not all fit: the budget was in force.
  EXPECT_GT(largest * kFonts, FontCache::kBudgetBytes);
}

TEST(DocumentMemoryTest, ReadingTwiceGivesTheSameText) {
  // Many pages, each with a font of its own: the second reading loads evicted fonts again.
  constexpr int kPages = 400;
  PdfBuilder pdf;
  const int catalog = pdf.Reserve();
  const int pages = pdf.Reserve();
  std::string kids;
  for (int i = 0; i < kPages; ++i) {
    const int font = pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>");
    const int content =
        pdf.AddStream("", "BT /F1 10 Tf 72 700 Td (Page " + std::to_string(i) + ") Tj ET");
    kids += std::to_string(pdf.Add("<< /Type /Page /Parent " + std::to_string(pages) +
                                   " 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 " +
                                   std::to_string(font) + " 0 R >> >> /Contents " +
                                   std::to_string(content) + " 0 R >>")) +
            " 0 R ";
  }
  pdf.Set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  pdf.Set(pages, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(kPages) + " >>");
  const auto document = test::Open(pdf.Build(catalog, XrefForm::kObjectStreams));
  ASSERT_TRUE(document);
  ASSERT_EQ(document->PageCount(), kPages);
  std::vector<std::string> first;
  for (int i = 0; i < kPages; ++i) {
    first.push_back(document->PageText(i));
    ASSERT_EQ(first.back(), "Page " + std::to_string(i) + "\r\n");
  }
  for (int i = kPages - 1; i >= 0; --i) {
    ASSERT_EQ(document->PageText(i), first[static_cast<std::size_t>(i)]);
  }
}

}  // namespace
}  // namespace lvx::pdf
