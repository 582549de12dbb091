#include "pdf_builder.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

#include "parser.h"

namespace lvx::pdf::test {
namespace {

std::string Number(std::uint64_t value, int width) {
  std::string text = std::to_string(value);
  return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(text.size()))),
                     '0') +
         text;
}

std::string StreamObject(std::string_view dict, std::string_view data) {
  return "<< " + std::string(dict) + " /Length " + std::to_string(data.size()) + " >>\nstream\n" +
         std::string(data) + "\nendstream";
}

std::size_t LastStartXref(const std::string& file) {
  const std::size_t at = file.rfind("startxref");
  return at == std::string::npos ? 0 : std::stoul(file.substr(at + 9));
}

}  // namespace

int PdfBuilder::Add(std::string body) {
  const int num = next_++;
  objects_[num] = {std::move(body), false};
  return num;
}

int PdfBuilder::AddStream(std::string_view dict, std::string_view data) {
  const int num = next_++;
  SetStream(num, dict, data);
  return num;
}

int PdfBuilder::Reserve() { return next_++; }

void PdfBuilder::Set(int num, std::string body) { objects_[num] = {std::move(body), false}; }

void PdfBuilder::SetStream(int num, std::string_view dict, std::string_view data) {
  objects_[num] = {StreamObject(dict, data), true};
}

std::string PdfBuilder::Build(int root, XrefForm form, std::string_view trailer) const {
  std::string out = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
  const int size = next_ + (form == XrefForm::kObjectStreams ? 2 : 1);
  // Where each object went: type 1 offset, or type 2 in the object stream.
  std::map<int, std::pair<int, std::uint64_t>> where;
  std::string packedHeader;
  std::string packedBody;
  int packedCount = 0;
  const int objectStream = next_;
  for (const auto& [num, entry] : objects_) {
    if (form == XrefForm::kObjectStreams && !entry.stream) {
      packedHeader += std::to_string(num) + " " + std::to_string(packedBody.size()) + " ";
      packedBody += entry.body + "\n";
      where[num] = {2, static_cast<std::uint64_t>(packedCount++)};
      continue;
    }
    where[num] = {1, out.size()};
    out += std::to_string(num) + " 0 obj\n" + entry.body + "\nendobj\n";
  }
  if (form == XrefForm::kObjectStreams) {
    where[objectStream] = {1, out.size()};
    const std::string data = Deflate(packedHeader + packedBody);
    out += std::to_string(objectStream) + " 0 obj\n" +
           StreamObject("/Type /ObjStm /N " + std::to_string(packedCount) + " /First " +
                            std::to_string(packedHeader.size()) + " /Filter /FlateDecode",
                        data) +
           "\nendobj\n";
  }
  const std::string rootEntry = " /Root " + std::to_string(root) + " 0 R ";
  if (form == XrefForm::kTable) {
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f \n";
    for (int num = 1; num < size; ++num) {
      const auto found = where.find(num);
      out += found == where.end() ? "0000000000 65535 f \n"
                                  : Number(found->second.second, 10) + " 00000 n \n";
    }
    out += "trailer\n<< /Size " + std::to_string(size) + rootEntry + std::string(trailer) +
           " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  } else if (form == XrefForm::kStream || form == XrefForm::kObjectStreams) {
    const int xrefNum = size - 1;
    const std::size_t xref = out.size();
    where[xrefNum] = {1, xref};
    // Rows of 1 + 4 + 2 bytes, each preceded by the PNG "Up" filter byte.
    std::string rows;
    std::string previous(7, '\0');
    for (int num = 0; num < size; ++num) {
      std::string row(7, '\0');
      const auto found = where.find(num);
      if (found != where.end()) {
        row[0] = static_cast<char>(found->second.first);
        const std::uint64_t field = found->second.first == 1 ? found->second.second : objectStream;
        for (int i = 0; i < 4; ++i) {
          row[1 + i] = static_cast<char>(field >> (24 - 8 * i));
        }
        const std::uint64_t third = found->second.first == 1 ? 0 : found->second.second;
        row[5] = static_cast<char>(third >> 8);
        row[6] = static_cast<char>(third);
      }
      rows.push_back('\x02');
      for (int i = 0; i < 7; ++i) {
        rows.push_back(static_cast<char>(row[i] - previous[i]));
      }
      previous = row;
    }
    out += std::to_string(xrefNum) + " 0 obj\n" +
           StreamObject("/Type /XRef /Size " + std::to_string(size) + " /W [1 4 2]" + rootEntry +
                            std::string(trailer) +
                            " /Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 7 >>",
                        Deflate(rows)) +
           "\nendobj\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  } else {
    out += "%%EOF\n";
  }
  return out;
}

std::string AppendUpdate(const std::string& base, const std::map<int, std::string>& objects,
                         int size, int root, std::string_view trailer) {
  std::string out = base;
  std::map<int, std::size_t> offsets;
  for (const auto& [num, body] : objects) {
    offsets[num] = out.size();
    out += std::to_string(num) + " 0 obj\n" + body + "\nendobj\n";
  }
  const std::size_t xref = out.size();
  out += "xref\n0 1\n0000000000 65535 f \n";
  for (const auto& [num, offset] : offsets) {
    out += std::to_string(num) + " 1\n" + Number(offset, 10) + " 00000 n \n";
  }
  out += "trailer\n<< /Size " + std::to_string(size) + " /Root " + std::to_string(root) +
         " 0 R /Prev " + std::to_string(LastStartXref(base)) + " " + std::string(trailer) +
         " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

std::string SimpleDocument(const std::vector<std::string>& contents, XrefForm form) {
  PdfBuilder pdf;
  const int catalog = pdf.Reserve();
  const int pages = pdf.Reserve();
  const int font =
      pdf.Add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  std::string kids;
  for (const std::string& content : contents) {
    const int stream = pdf.AddStream("", content);
    const int page =
        pdf.Add("<< /Type /Page /Parent " + std::to_string(pages) +
                " 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 " + std::to_string(font) +
                " 0 R >> >> /Contents " + std::to_string(stream) + " 0 R >>");
    kids += std::to_string(page) + " 0 R ";
  }
  pdf.Set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  pdf.Set(pages,
          "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(contents.size()) + " >>");
  return pdf.Build(catalog, form);
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  out.reserve(text.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) {
    out += text;
  }
  return out;
}

void AddObjects(PdfBuilder& pdf, const std::vector<std::string>& objects) {
  for (const std::string& object : objects) {
    if (object.starts_with("stream:")) {
      const std::size_t bar = object.find('|');
      pdf.AddStream(object.substr(7, bar - 7), object.substr(bar + 1));
    } else {
      pdf.Add(object);
    }
  }
}

std::string OnePage(const std::string& content, const std::string& resources,
                    const std::vector<std::string>& objects, const std::string& pageExtra) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  pdf.Add("<< /Type /Page /Parent 2 0 R /MediaBox [10 20 210 120] /Contents 4 0 R /Resources << " +
          resources + " >> " + pageExtra + " >>");
  pdf.AddStream("", content);
  AddObjects(pdf, objects);
  return pdf.Build(catalog);
}

std::string PageWithFonts(const std::vector<std::string>& fonts, std::string_view content) {
  PdfBuilder pdf;
  const int catalog = pdf.Add("<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  std::string names;
  for (std::size_t i = 0; i < fonts.size(); ++i) {
    names += "/F" + std::to_string(i + 1) + " " + fonts[i] + " ";
  }
  pdf.Add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << " + names +
          ">> >> /Contents 4 0 R >>");
  pdf.AddStream("", content);
  return pdf.Build(catalog);
}

Dict ParseDict(const std::string& text) {
  const auto bytes = ToBytes(text);
  Lexer lexer(bytes);
  return ParseNextObject(lexer).AsDict();
}

std::string Deflate(std::string_view data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    throw std::runtime_error("compress2 failed");
  }
  out.resize(size);
  return out;
}

std::vector<std::uint8_t> ToBytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string Hex(std::string_view bytes) {
  std::string out = "<";
  char digits[3];
  for (const char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += digits;
  }
  return out + ">";
}

std::unique_ptr<Document> Open(const std::string& file, OpenError* error) {
  OpenError local = OpenError::kNone;
  auto document = Document::OpenBytes(ToBytes(file), local);
  if (error != nullptr) {
    *error = local;
  }
  return document;
}

}  // namespace lvx::pdf::test
