// Pages for the drawing tests: a one-page file of given content, resources and objects, its
// display list, and what to look for in it.
#ifndef LVX_TESTS_PAGE_FIXTURE_H
#define LVX_TESTS_PAGE_FIXTURE_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "lvxpdf/display_list.h"
#include "pdf_builder.h"

namespace lvx::pdf::test {

// A one-page file (OnePage in pdf_builder.h).
inline std::string Page(const std::string& content, const std::string& resources = "",
                        const std::vector<std::string>& objects = {},
                        const std::string& pageExtra = "") {
  return OnePage(content, resources, objects, pageExtra);
}

inline DisplayList Draw(const std::string& file) {
  const auto document = test::Open(file);
  EXPECT_NE(document, nullptr);
  return document ? document->PageDrawing(0) : DisplayList{};
}

template <typename T>
std::vector<T> All(const DisplayList& list) {
  std::vector<T> found;
  for (const DrawCommand& command : list.commands) {
    if (const T* item = std::get_if<T>(&command)) {
      found.push_back(*item);
    }
  }
  return found;
}

inline void ExpectBalancedClips(const DisplayList& list) {
  int depth = 0;
  for (const DrawCommand& command : list.commands) {
    depth += std::holds_alternative<ClipCommand>(command) ? 1 : 0;
    depth -= std::holds_alternative<RestoreClip>(command) ? 1 : 0;
    ASSERT_GE(depth, 0);
  }
  EXPECT_EQ(depth, 0);
}

inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int v : values) {
    bytes.push_back(static_cast<char>(v));
  }
  return bytes;
}

}  // namespace lvx::pdf::test

#endif
