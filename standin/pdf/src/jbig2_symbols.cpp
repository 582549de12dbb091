#include "jbig2_symbols.h"

#include "jbig2_generic.h"
#include "jbig2_segments.h"

namespace lvx::pdf::jbig2 {
namespace {

struct DictionaryHeader {
  bool refineAggregate = false;
  int templateId = 0;
  int refineTemplate = 0;
  std::array<int, 8> adaptive{};
  std::array<int, 4> refineAdaptive{-1, -1, -1, -1};
  std::uint32_t exported = 0;
  std::uint32_t fresh = 0;
};

DictionaryHeader ReadHeader(ByteReader& reader) {
  DictionaryHeader header;
  const std::uint16_t flags = reader.U16();
  if ((flags & 1) != 0) {
    Fail(FailureKind::kUnsupported, "Huffman-coded symbol dictionary");
  }
  if ((flags & 0x0100) != 0) {
    Fail(FailureKind::kUnsupported, "symbol dictionary reusing coding contexts");
  }
  header.refineAggregate = (flags & 2) != 0;
  header.templateId = (flags >> 10) & 3;
  header.refineTemplate = (flags >> 12) & 1;
  const int adaptiveBytes = header.templateId == 0 ? 8 : 2;
  for (int i = 0; i < adaptiveBytes; ++i) {
    header.adaptive[static_cast<std::size_t>(i)] = reader.S8();
  }
  if (header.refineAggregate && header.refineTemplate == 0) {
    for (int& value : header.refineAdaptive) {
      value = reader.S8();
    }
  }
  header.exported = CheckedCount(reader.U32(), "too many exported symbols");
  header.fresh = CheckedCount(reader.U32(), "too many new symbols");
  return header;
}

// The decoders and contexts one dictionary's symbols share.
struct SymbolCoding {
  SymbolCoding(const DictionaryHeader& header, std::uint64_t symbolCount)
      : generic(GenericContexts(header.templateId)),
        refine(RefineContexts(header.refineTemplate)),
        text(SymbolCodeLength(symbolCount)) {}
  IntDecoder heightDelta, widthDelta, exportRun, aggregateCount;
  Contexts generic;
  Contexts refine;
  TextDecoders text;
};

Bitmap DecodeAggregate(ArithDecoder& decoder, SymbolCoding& coding, const DictionaryHeader& header,
                       std::span<const Symbol> known, std::uint64_t width, std::uint64_t height,
                       Allowance& allowance) {
  const std::int64_t instances = coding.aggregateCount.DecodeValue(decoder);
  if (instances <= 0 || static_cast<std::uint64_t>(instances) > kMaxCount) {
    Damaged("invalid aggregate instance count");
  }
  if (instances == 1) {
    const std::uint32_t id = coding.text.id.Decode(decoder);
    if (id >= known.size()) {
      Damaged("refined symbol number out of range");
    }
    RefineParams refine;
    refine.width = width;
    refine.height = height;
    refine.templateId = header.refineTemplate;
    refine.reference = known[id].get();
    refine.dx = coding.text.rdx.DecodeValue(decoder);
    refine.dy = coding.text.rdy.DecodeValue(decoder);
    refine.adaptive = header.refineAdaptive;
    return DecodeRefinement(decoder, coding.refine, refine, allowance);
  }
  TextParams text;
  text.width = width;
  text.height = height;
  text.instances = static_cast<std::uint64_t>(instances);
  text.corner = Corner::kTopLeft;
  text.refine = true;
  text.refineTemplate = header.refineTemplate;
  text.refineAdaptive = header.refineAdaptive;
  text.symbols = known;
  return DecodeText(decoder, coding.text, coding.refine, text, allowance);
}

}  // namespace

std::vector<Symbol> DecodeSymbolDictionary(std::span<const std::uint8_t> data,
                                           std::span<const Symbol> inputs, Allowance& allowance) {
  ByteReader reader(data);
  const DictionaryHeader header = ReadHeader(reader);
  const std::uint64_t total = inputs.size() + std::uint64_t{header.fresh};
  CheckedCount(total, "too many symbols");
  if (header.exported > total) {
    Damaged("more exported symbols than symbols");
  }
  allowance.Take(total * sizeof(Symbol));
  ArithDecoder decoder(reader.Rest());
  SymbolCoding coding(header, total);
  // The input symbols, then the new ones as they are decoded: aggregates may use both.
  std::vector<Symbol> known(inputs.begin(), inputs.end());
  known.reserve(static_cast<std::size_t>(total));
  std::int64_t classHeight = 0;
  std::uint64_t classes = 0;
  while (known.size() < total) {
    if (++classes > total) {
      Damaged("height classes without symbols");
    }
    classHeight += coding.heightDelta.DecodeValue(decoder);
    if (classHeight < 0 || static_cast<std::uint64_t>(classHeight) > kMaxSide) {
      Damaged("invalid height class");
    }
    std::int64_t width = 0;
    for (;;) {
      const std::optional<std::int64_t> delta = coding.widthDelta.Decode(decoder);
      if (!delta) {
        break;  // the height class's end
      }
      if (known.size() >= total) {
        Damaged("more symbols than the dictionary declares");
      }
      width += *delta;
      if (width < 0 || static_cast<std::uint64_t>(width) > kMaxSide) {
        Damaged("invalid symbol width");
      }
      const auto w = static_cast<std::uint64_t>(width);
      const auto h = static_cast<std::uint64_t>(classHeight);
      Bitmap symbol;
      if (header.refineAggregate) {
        symbol = DecodeAggregate(decoder, coding, header, known, w, h, allowance);
      } else {
        GenericParams generic;
        generic.width = w;
        generic.height = h;
        generic.templateId = header.templateId;
        generic.adaptive = header.adaptive;
        symbol = DecodeGeneric(decoder, coding.generic, generic, allowance);
      }
      known.push_back(std::make_shared<const Bitmap>(std::move(symbol)));
      Work(16);
    }
  }
  // Runs of symbols alternately not exported and exported, over the inputs and the new ones.
  std::vector<Symbol> exported;
  allowance.Take(std::uint64_t{header.exported} * sizeof(Symbol));
  exported.reserve(header.exported);
  std::uint64_t index = 0;
  bool exporting = false;
  std::uint64_t runs = 0;
  while (index < total) {
    if (++runs > 2 * total + 2) {
      Damaged("export runs that do not advance");
    }
    const std::int64_t run = coding.exportRun.DecodeValue(decoder);
    if (run < 0 || static_cast<std::uint64_t>(run) > total - index) {
      Damaged("invalid export run");
    }
    if (exporting) {
      if (exported.size() + static_cast<std::uint64_t>(run) > header.exported) {
        Damaged("more symbols exported than declared");
      }
      for (std::int64_t i = 0; i < run; ++i) {
        exported.push_back(known[static_cast<std::size_t>(index) + static_cast<std::size_t>(i)]);
      }
    }
    index += static_cast<std::uint64_t>(run);
    exporting = !exporting;
    Work(1);
  }
  if (exported.size() != header.exported) {
    Damaged("fewer symbols exported than declared");
  }
  return exported;
}

}  // namespace lvx::pdf::jbig2
