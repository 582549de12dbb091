#include "file.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "object_footprint.h"
#include "parser.h"
#include "syntax.h"

namespace lvx::pdf {
namespace {

constexpr std::size_t kMaxLoadDepth = 64;
constexpr int kMaxReferenceChain = 32;

// Guards a loading object's number for the duration of a load.
class InProgress {
 public:
  InProgress(std::vector<std::uint32_t>& stack, std::uint32_t num) : stack_(stack) {
    stack_.push_back(num);
  }
  ~InProgress() { stack_.pop_back(); }
  InProgress(const InProgress&) = delete;
  InProgress& operator=(const InProgress&) = delete;
  InProgress(InProgress&&) = delete;
  InProgress& operator=(InProgress&&) = delete;

 private:
  std::vector<std::uint32_t>& stack_;
};

}  // namespace

std::unique_ptr<PdfFile> PdfFile::Open(FileBytes bytes, OpenError& error) {
  std::unique_ptr<PdfFile> file(new PdfFile(std::move(bytes)));
  const auto header = FindHeader(file->Data(), &file->version_);
  if (!header) {
    // No header in the first 1,024 bytes: still a PDF when a scan finds its objects and a
    // catalog among them, as other readers take it; anything else is not one.
    file->Recover();
    if (!file->Get(file->xref_.trailer, "Root").IsDict()) {
      error = OpenError::kNotPdf;
      return nullptr;
    }
  }
  file->headerOffset_ = header.value_or(0);
  const auto start = FindStartXref(file->Data());
  bool readable = !header || (start && ReadXref(file->Data(), *start, file->xref_));
  if (!readable && start && *start + *header < file->Data().size()) {
    // Offsets counted from the header when junk precedes it.
    XrefTable table;
    if (ReadXref(file->Data(), *start + *header, table)) {
      file->xref_ = std::move(table);
      readable = true;
    }
  }
  if (!readable) {
    file->Recover();
  }

  const Object& encrypt = file->xref_.trailer.Get("Encrypt");
  if (!encrypt.IsNull()) {
    file->encryptNum_ = encrypt.IsRef() ? encrypt.AsRef().num : 0;
    const Object dict = file->Resolve(encrypt);
    const Array& ids = file->xref_.trailer.Get("ID").AsArray();
    const std::string id = ids.empty() ? std::string() : file->Resolve(ids[0]).AsString();
    SecurityStatus status = SecurityStatus::kUnsupported;
    if (dict.IsDict()) {
      file->security_ = SecurityHandler::Create(dict.AsDict(), id, status);
    }
    if (!file->security_) {
      error = status == SecurityStatus::kPasswordRequired ? OpenError::kPasswordRequired
                                                          : OpenError::kUnsupported;
      return nullptr;
    }
    file->encrypted_ = true;
    file->ClearCaches();  // objects read before the key was known hold encrypted strings
  }
  error = OpenError::kNone;
  return file;
}

bool PdfFile::Recover() {
  if (recovered_) {
    return false;
  }
  recovered_ = true;
  RecoveredStructure found = RecoverXref(Data());
  found.table.MergeTrailer(xref_.trailer);
  XrefTable previous = std::move(xref_);
  xref_ = std::move(found.table);
  ClearCaches();
  // Objects inside the object streams found, unless found directly in the file.
  for (const std::uint32_t streamNum : found.objectStreams) {
    const Object stream = Get(Ref{streamNum, 0});
    const Stream* data = stream.AsStream();
    if (data == nullptr) {
      continue;
    }
    const std::vector<std::uint8_t> decoded = Decode(*data);
    const std::int64_t count = data->dict.Get("N").AsInt(0);
    Lexer lexer({decoded.data(), decoded.size()});
    Token num;
    Token offset;
    for (std::int64_t i = 0; i < count && i < static_cast<std::int64_t>(decoded.size()); ++i) {
      lexer.Next(num);
      lexer.Next(offset);
      if (num.type != TokenType::kInteger || offset.type != TokenType::kInteger ||
          num.integer < 0 || num.integer >= XrefTable::kMaxObjects) {
        break;
      }
      xref_.Add(static_cast<std::uint32_t>(num.integer),
                {XrefEntry::kCompressed, streamNum, static_cast<std::uint32_t>(i)});
    }
  }
  // A catalog the trailers do not name.
  if (!Get(xref_.trailer, "Root").IsDict()) {
    for (auto it = found.catalogs.rbegin(); it != found.catalogs.rend(); ++it) {
      if (Get(*it).IsDict()) {
        xref_.trailer.entries.emplace_back("Root", *it);
        break;
      }
    }
  }
  (void)previous;
  return true;
}

void PdfFile::ClearCaches() {
  cache_.Clear();
  objectStreams_.Clear();
  derived_.Clear();
}

Object PdfFile::Get(Ref ref) {
  if (const Object* found = cache_.Find(ref.num)) {
    return *found;
  }
  if (inProgress_.size() >= kMaxLoadDepth ||
      std::find(inProgress_.begin(), inProgress_.end(), ref.num) != inProgress_.end()) {
    return {};  // a reference loop, or absurdly deep nesting of loads
  }
  Object object;
  {
    const InProgress guard(inProgress_, ref.num);
    object = Load(ref.num);
  }
  cache_.Put(ref.num, object, Footprint(object));
  return object;
}

Object PdfFile::Resolve(const Object& object) {
  Object current = object;
  for (int i = 0; i < kMaxReferenceChain && current.IsRef(); ++i) {
    current = Get(current.AsRef());
  }
  return current.IsRef() ? Object() : current;
}

Object PdfFile::Load(std::uint32_t num) {
  const XrefEntry* found = xref_.Find(num);
  if (found == nullptr) {
    return {};
  }
  const XrefEntry entry = *found;  // the table may be replaced by a recovery during the load
  if (entry.type == XrefEntry::kCompressed) {
    if (entry.position > 0xFFFFFFFFU) {
      return {};
    }
    return LoadFromObjectStream(static_cast<std::uint32_t>(entry.position), num, entry.index);
  }
  const std::size_t size = Data().size();
  if (entry.position < size) {
    Object object = LoadAt(static_cast<std::size_t>(entry.position), num);
    if (!object.IsNull()) {
      return object;
    }
  }
  if (headerOffset_ > 0 && entry.position + headerOffset_ < size) {
    Object object = LoadAt(static_cast<std::size_t>(entry.position + headerOffset_), num);
    if (!object.IsNull()) {
      return object;
    }
  }
  // The table points at the wrong place: rebuild it from the objects and try again.
  if (Recover()) {
    return Load(num);
  }
  return {};
}

Object PdfFile::LoadAt(std::size_t offset, std::uint32_t num) {
  std::function<void(std::string&)> decrypt;
  ParseOptions options;
  if (security_ && num != encryptNum_) {
    const XrefEntry* entry = xref_.Find(num);
    const std::uint32_t gen =
        entry != nullptr && entry->type == XrefEntry::kOffset ? entry->index : 0;
    decrypt = [this, num, gen](std::string& text) {
      text = security_->DecryptString(text, Ref{num, gen});
    };
    options.transformString = &decrypt;
  }
  const auto object = ReadIndirectObject(
      Data(), offset, [this](Ref length) { return Get(length).AsInt(-1); }, options, &endstreams_,
      num);
  touched_ += object ? object->end - std::min(object->end, offset) : 0;
  if (!object || object->ref.num != num) {
    return {};
  }
  return object->object;
}

std::shared_ptr<const PdfFile::ObjectStream> PdfFile::DecodeObjectStream(std::uint32_t streamNum) {
  if (const auto* found = objectStreams_.Find(streamNum)) {
    return *found;
  }
  auto decoded = std::make_shared<ObjectStream>();
  const Object stream = Get(Ref{streamNum, 0});
  if (const Stream* data = stream.AsStream()) {
    decoded->data = Decode(*data);
    const std::int64_t count = data->dict.Get("N").AsInt(0);
    const std::int64_t first = data->dict.Get("First").AsInt(0);
    if (count > 0 && first >= 0 && static_cast<std::uint64_t>(first) <= decoded->data.size()) {
      Lexer header({decoded->data.data(), decoded->data.size()});
      Token num;
      Token offset;
      for (std::int64_t i = 0; i < count && i < static_cast<std::int64_t>(decoded->data.size());
           ++i) {
        header.Next(num);
        header.Next(offset);
        if (num.type != TokenType::kInteger || offset.type != TokenType::kInteger ||
            num.integer < 0 || num.integer >= XrefTable::kMaxObjects || offset.integer < 0) {
          break;
        }
        const std::uint64_t at =
            static_cast<std::uint64_t>(first) + static_cast<std::uint64_t>(offset.integer);
        decoded->objects.emplace_back(
            static_cast<std::uint32_t>(num.integer),
            at < decoded->data.size() ? static_cast<std::size_t>(at) : decoded->data.size());
      }
    }
  }
  const std::size_t bytes =
      decoded->data.capacity() + decoded->objects.capacity() * sizeof(decoded->objects[0]) + 64;
  return objectStreams_.Put(streamNum, std::move(decoded), bytes);
}

Object PdfFile::LoadFromObjectStream(std::uint32_t streamNum, std::uint32_t num,
                                     std::uint32_t index) {
  // Held here: the cache may evict it while the object is parsed.
  const std::shared_ptr<const ObjectStream> stream = DecodeObjectStream(streamNum);
  const auto& objects = stream->objects;
  // The table's index, or a search when the index does not name the object.
  std::size_t at = objects.size();
  if (index < objects.size() && objects[index].first == num) {
    at = index;
  } else {
    for (std::size_t i = 0; i < objects.size(); ++i) {
      if (objects[i].first == num) {
        at = i;
        break;
      }
    }
  }
  if (at == objects.size() || objects[at].second >= stream->data.size()) {
    return {};
  }
  Lexer lexer({stream->data.data(), stream->data.size()}, objects[at].second);
  return ParseNextObject(lexer);
}

std::vector<std::uint8_t> PdfFile::Decode(const Stream& stream, std::size_t limit,
                                          FilterStatus* status) {
  const Bytes data = Data();
  const std::size_t offset = std::min(stream.offset, data.size());
  const std::size_t length = std::min(stream.length, data.size() - offset);
  touched_ += length;
  Bytes raw = data.subspan(offset, length);
  std::vector<std::uint8_t> decrypted;
  const std::optional<Dict> resolved = ResolvedFilters(stream.dict);
  const Dict& dict = resolved ? *resolved : stream.dict;
  if (security_ && !dict.Get("Type").IsName("XRef") &&
      !(dict.Get("Type").IsName("Metadata") && !security_->EncryptMetadata())) {
    // A stream's own crypt filter comes first in its filter list.
    std::string cryptFilter;
    const Object& filter = dict.Get("Filter");
    if ((filter.IsName("Crypt")) ||
        (filter.IsArray() && !filter.AsArray().empty() && filter.AsArray()[0].IsName("Crypt"))) {
      const Object& parms = dict.Get("DecodeParms");
      const Dict& first = parms.IsArray() && !parms.AsArray().empty() ? parms.AsArray()[0].AsDict()
                                                                      : parms.AsDict();
      cryptFilter = first.Get("Name").IsName() ? first.Get("Name").AsName() : "Identity";
    }
    decrypted = security_->DecryptStream(raw, stream.ref, cryptFilter);
    raw = Bytes(decrypted.data(), decrypted.size());
  }
  FilterStatus local = FilterStatus::kOk;
  std::vector<std::uint8_t> out = DecodeFilterChain(dict, raw, limit, local);
  if (status != nullptr) {
    *status = local;
  }
  return out;
}

std::optional<Dict> PdfFile::ResolvedFilters(const Dict& dict) {
  bool any = false;
  const auto resolve = [&](const Object& value) {
    if (!value.IsRef()) {
      return value;
    }
    any = true;
    return Resolve(value);
  };
  const auto resolveEach = [&](const Object& value, const auto& resolveItem) {
    const Object list = resolve(value);
    if (!list.IsArray()) {
      return resolveItem(list);
    }
    auto items = std::make_shared<Array>();
    for (const Object& item : list.AsArray()) {
      items->push_back(resolveItem(resolve(item)));
    }
    return Object(std::shared_ptr<const Array>(std::move(items)));
  };
  const auto same = [](const Object& value) { return value; };
  const auto parameters = [&](const Object& value) {
    if (!value.IsDict()) {
      return value;
    }
    auto entries = std::make_shared<Dict>();
    for (const auto& [key, entry] : value.AsDict().entries) {
      entries->entries.emplace_back(key, resolve(entry));
    }
    return Object(std::shared_ptr<const Dict>(std::move(entries)));
  };
  const Object filter = resolveEach(dict.Get("Filter"), same);
  const Object parms = resolveEach(dict.Get("DecodeParms"), parameters);
  if (!any) {
    return std::nullopt;
  }
  Dict out = dict;
  for (auto& [key, value] : out.entries) {
    if (key == "Filter") {
      value = filter;
    } else if (key == "DecodeParms") {
      value = parms;
    }
  }
  return out;
}

}  // namespace lvx::pdf
