#include "hostile_documents.h"

#include "pdf_builder.h"

namespace lvx::pdf::test {
namespace {

// Nine objects from number `first`, each stitching twelve of the one after it, over an
// exponential function that maps t to 1 - t: 12^8 functions when followed name by name. The
// stitched encodings keep t.
std::vector<std::string> StitchingTree(int first) {
  std::string bounds;
  std::string encode;
  for (int i = 1; i < 12; ++i) {
    bounds += std::to_string(i / 12.0) + " ";
  }
  for (int i = 0; i < 12; ++i) {
    encode += std::to_string(i / 12.0);
    encode += " ";
    encode += std::to_string((i + 1) / 12.0);
    encode += " ";
  }
  std::vector<std::string> objects;
  objects.reserve(9);
  for (int level = 0; level < 8; ++level) {
    std::string object = "<< /FunctionType 3 /Domain [0 1] /Functions [";
    object += Repeat(std::to_string(first + level + 1) + " 0 R ", 12);
    object += "] /Bounds [";
    object += bounds;
    object += "] /Encode [";
    object += encode;
    object += "] >>";
    objects.push_back(std::move(object));
  }
  objects.emplace_back("<< /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0] /N 1 >>");
  return objects;
}

// 1000 x 1000 samples of 16 bits, every one a different value.
std::string CountingSamples() {
  std::string samples;
  samples.reserve(2'000'000);
  for (int i = 0; i < 1'000'000; ++i) {
    samples.push_back(static_cast<char>((i >> 8) & 0xFF));
    samples.push_back(static_cast<char>(i & 0xFF));
  }
  return samples;
}

std::string ManyLargeImages() {
  // An 8 x 8 image placed a thousand times, then forty different images of 2000 x 2000 pixels
  // (a few bytes of data each: the missing rows are transparent), 640 MB when decoded whole.
  std::vector<std::string> objects = {
      "stream:/Subtype /Image /Width 8 /Height 8 /BitsPerComponent 8 /ColorSpace /DeviceGray|" +
      std::string(64, 'x')};
  std::string names = "/Logo 5 0 R ";
  std::string content = "100 0 0 100 0 0 cm " + Repeat("/Logo Do ", 1000);
  for (int i = 0; i < 40; ++i) {
    objects.push_back(
        "stream:/Subtype /Image /Width 2000 /Height 2000 /BitsPerComponent 8 "
        "/ColorSpace /DeviceRGB|" +
        std::to_string(i));
    names += "/I" + std::to_string(i) + " " + std::to_string(6 + i) + " 0 R ";
    content += "/I" + std::to_string(i) + " Do ";
  }
  return OnePage(content, "/XObject << " + names + ">>", objects);
}

std::string FormTree() {
  // A form drawing the next ten times, eight deep (10^8 forms), after a long open path.
  std::vector<std::string> objects;
  objects.reserve(9);
  for (int level = 0; level < 8; ++level) {
    objects.push_back("stream:/Subtype /Form /BBox [0 0 10 10] /Resources << /XObject << /R " +
                      std::to_string(6 + level) + " 0 R >> >>|0 0 m 1 1 l" + Repeat(" /R Do", 10));
  }
  objects.emplace_back("stream:/Subtype /Form /BBox [0 0 10 10]|0 0 m 5 5 l 0 0 1 1 re W");
  return OnePage("0 0 m" + Repeat(" 1 1 l 0 0 l", 2000) + " /R Do /R Do f",
                 "/XObject << /R 5 0 R >>", objects);
}

}  // namespace

std::vector<HostileDocument> HostileDocuments() {
  std::vector<HostileDocument> documents;
  documents.push_back(
      {"wrapping-stencil", OnePage("q 100 0 0 50 0 0 cm BI /IM true /W 65536 /H 65537 ID x EI Q")});
  // Refused, the tint transform leaves the tint as a shade of grey.
  documents.push_back({"wrapping-function-grid",
                       OnePage("/N cs 0.25 0.25 scn 0 0 10 10 re f",
                               "/ColorSpace << /N [/DeviceN [/A /B] /DeviceRGB 5 0 R] >>",
                               {"stream:/FunctionType 0 /Domain [0 1 0 1] /Range [0 1 0 1 0 1] "
                                "/Size [65536 65536] /BitsPerSample 8|abc"})});
  // Each selection of the space used to read a function of 16 Mi samples again.
  documents.push_back(
      {"space-selected-3000-times",
       OnePage(Repeat("/S cs 0.5 0.5 scn 0 0 1 1 re f\n", 3000), "/ColorSpace << /S 5 0 R >>",
               {"[/DeviceN [/A /B] /DeviceGray 6 0 R]",
                "stream:/FunctionType 0 /Domain [0 1 0 1] /Range [0 1] /Size [4096 4096] "
                "/BitsPerSample 8|\x10\x20\x30"})});
  std::vector<std::string> tree = {"[/Separation /Ink /DeviceGray 6 0 R]"};
  for (std::string& object : StitchingTree(6)) {
    tree.push_back(std::move(object));
  }
  documents.push_back({"stitching-tree", OnePage("/S cs 0.25 scn 0 0 10 10 re f",
                                                 "/ColorSpace << /S 5 0 R >>", tree)});
  documents.push_back(
      {"path-then-50000-forms",
       OnePage("0 0 m\n" + Repeat("1 1 l 0 0 l\n", 400'000) + Repeat("/F Do\n", 50'000) + "f",
               "/XObject << /F 5 0 R >>", {"stream:/Subtype /Form /BBox [0 0 1 1]|0 0 1 1 re n"})});
  // A program of about 19,000 steps for each of a million different tints.
  documents.push_back(
      {"calculator-per-pixel",
       OnePage("100 0 0 100 0 0 cm /Im Do", "/XObject << /Im 5 0 R >>",
               {"stream:/Subtype /Image /Width 1000 /Height 1000 /BitsPerComponent 16 "
                "/ColorSpace [/Separation /Ink /DeviceGray 6 0 R]|" +
                    CountingSamples(),
                "stream:/FunctionType 4 /Domain [0 1] /Range [0 1]|{ " +
                    Repeat("1 add 1 sub ", 4700) + "}"})});
  documents.push_back({"form-tree", FormTree()});
  documents.push_back({"many-large-images", ManyLargeImages()});
  return documents;
}

std::string Hostile(std::string_view name) {
  for (HostileDocument& document : HostileDocuments()) {
    if (document.name == name) {
      return std::move(document.file);
    }
  }
  return {};
}

}  // namespace lvx::pdf::test
