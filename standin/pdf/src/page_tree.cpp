#include "page_tree.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_set>

#include "file.h"

namespace lvx::pdf {
namespace {

struct Inherited {
  Object resources;
  Object mediaBox;
  Object cropBox;
  Object rotate;
};

struct Pending {
  Object node;  // a reference or a dictionary
  Inherited inherited;
  int depth;
};

std::optional<PageBox> BoxOf(PdfFile& file, const Object& value) {
  const Object resolved = file.Resolve(value);
  const Array& numbers = resolved.AsArray();
  if (numbers.size() != 4) {
    return std::nullopt;
  }
  double v[4];
  for (std::size_t i = 0; i < 4; ++i) {
    const Object item = file.Resolve(numbers[i]);
    if (!item.IsNumber()) {
      return std::nullopt;
    }
    v[i] = item.AsNumber(0);
  }
  PageBox box{std::min(v[0], v[2]), std::min(v[1], v[3]), std::max(v[0], v[2]),
              std::max(v[1], v[3])};
  if (box.right - box.left < 1 || box.top - box.bottom < 1) {
    return std::nullopt;
  }
  return box;
}

}  // namespace

std::vector<PageInfo> ReadPageTree(PdfFile& file, const Object& root) {
  std::vector<PageInfo> pages;
  std::unordered_set<std::uint32_t> visited;
  std::vector<Pending> stack;
  stack.push_back({root, {}, 0});
  while (!stack.empty() && pages.size() < kMaxPages) {
    Pending item = std::move(stack.back());
    stack.pop_back();
    const Object node = file.Resolve(item.node);
    if (!node.IsDict()) {
      continue;
    }
    const Dict& dict = node.AsDict();
    const Object kids = file.Get(dict, "Kids");
    const bool isPage = dict.Get("Type").IsName("Page") || !kids.IsArray();
    // A page listed twice is two pages, as other readers count it; a node is read once, so
    // that a cycle ends and a shared subtree cannot multiply the pages.
    if (!isPage && item.node.IsRef() && !visited.insert(item.node.AsRef().num).second) {
      continue;
    }
    Inherited inherited = item.inherited;
    if (dict.Has("Resources")) {
      inherited.resources = dict.Get("Resources");
    }
    if (dict.Has("MediaBox")) {
      inherited.mediaBox = dict.Get("MediaBox");
    }
    if (dict.Has("CropBox")) {
      inherited.cropBox = dict.Get("CropBox");
    }
    if (dict.Has("Rotate")) {
      inherited.rotate = dict.Get("Rotate");
    }
    if (!isPage) {
      if (item.depth >= kMaxPageTreeDepth) {
        continue;
      }
      const Array& list = kids.AsArray();
      // Reversed onto the stack, so that the first kid comes out first.
      for (auto it = list.rbegin(); it != list.rend(); ++it) {
        stack.push_back({*it, inherited, item.depth + 1});
      }
      continue;
    }
    // A leaf with content is a page whatever its Type says; one without Type is a page when it
    // has a page's entries; anything else is a stray object in Kids.
    if (!dict.Get("Type").IsName("Page") && !dict.Has("Contents") &&
        (dict.Has("Type") || (!dict.Has("MediaBox") && !dict.Has("Resources")))) {
      continue;
    }
    PageInfo page;
    // A page that is an object of its own is kept by its reference: its dictionary is read
    // again (through the object cache) when the page is, not held for the document's life.
    page.page = item.node.IsRef() ? item.node : node;
    // Resources written into such a page's dictionary are read with it.
    page.resourcesInPage =
        item.node.IsRef() && dict.Has("Resources") && !dict.Get("Resources").IsRef();
    page.resources = page.resourcesInPage ? Object() : inherited.resources;
    page.mediaBox = BoxOf(file, inherited.mediaBox).value_or(PageBox{});
    page.cropBox = BoxOf(file, inherited.cropBox).value_or(page.mediaBox);
    const std::int64_t rotate = file.Resolve(inherited.rotate).AsInt(0);
    page.rotation = static_cast<int>(((rotate % 360) + 360) % 360 / 90 * 90);
    pages.push_back(std::move(page));
  }
  return pages;
}

}  // namespace lvx::pdf
