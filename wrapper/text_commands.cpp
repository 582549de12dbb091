// Page count and text: GETPAGECOUNT, GETTEXTLENGTH and GETTEXT. GETTEXT and GETTEXTLENGTH call
// the other operations through the object's operation table, so overrides take part.
#include <cstdint>
#include <span>
#include <vector>

#include "error_message.h"
#include "lumivexctl/lumivexcontrol.h"
#include "operation_guard.h"
#include "text_assembly.h"
#include "text_field.h"
#include "viewer_channel.h"

namespace {

// The viewer counts pages from 0. Page - 1 is taken in unsigned arithmetic so that every page
// number, the smallest included, gives a defined index with the bits of the 32-bit difference.
std::int32_t PageIndex(std::int32_t page) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(page) - 1U);
}

// Measures a page's text (code 260); the page becomes the one the next code 261 delivers.
std::int32_t MeasurePage(std::int32_t window, std::int32_t index) noexcept {
  return lvx::SendCommand(window, lvx::VCMD_PAGETEXTLENGTH, index);
}

// Has the viewer write the text of the page it measured last into `buffer` (code 261). The buffer
// must hold the measured length and the NUL, and be zero-filled.
void FetchPageText(std::int32_t window, std::span<char> buffer) noexcept {
  lvx::SendCommand(window, lvx::VCMD_PAGETEXT, reinterpret_cast<std::intptr_t>(buffer.data()));
}

// A zero-filled buffer for `length` characters and their NUL. Throws when it cannot be had.
std::vector<char> TextBuffer(std::size_t length) {
  std::vector<char> buffer(length + 1, '\0');
  return buffer;
}

}  // namespace

std::int32_t LUMIVEXCONTROL::GETPAGECOUNT() {
  return lvx::SendCommand(HWINDOW, lvx::VCMD_PAGECOUNT, 0);
}

std::int32_t LUMIVEXCONTROL::GETTEXTLENGTH(LvxOptionalInt32 PAGE) {
  if (PAGE.omitted == 0) {
    return MeasurePage(HWINDOW, PageIndex(PAGE.value));  // passed on as the viewer answers it
  }
  // GETPAGECOUNT may be overridden, and an override may throw.
  return lvx::AnswerGuarded(HWINDOW, [&] {
    const std::int32_t pages = GETPAGECOUNT();
    lvx::PageLengthTotal total;
    for (std::int32_t index = 0; index < pages; ++index) {
      total.Add(MeasurePage(HWINDOW, index));
    }
    return total.Value();
  });
}

void LUMIVEXCONTROL::GETTEXT(LvxTextField TEXT, LvxOptionalInt32 PAGE) {
  // The buffers can fail to be had, and the operations called through the table may throw.
  lvx::RunGuarded(HWINDOW, [&] {
    const std::span<char> field = lvx::FieldBytes(TEXT);
    const auto capacity = static_cast<std::int32_t>(field.size());
    std::vector<char> result = TextBuffer(field.size());

    if (PAGE.omitted == 0) {
      const std::int32_t length = MeasurePage(HWINDOW, PageIndex(PAGE.value));
      if (length > capacity) {
        lvx::ShowErrorMessage(HWINDOW, lvx::kBufferTooSmall);
        return;
      }
      // A negative length is no text to fetch: the page is delivered empty and code 261 is not
      // sent, since no buffer can be sized for it.
      if (length >= 0) {
        FetchPageText(HWINDOW, result);
      }
      lvx::AssignPadded(TEXT, lvx::WrittenText(result));
      return;
    }

    const std::int32_t total = GETTEXTLENGTH(LvxOmittedInt32());
    if (total > capacity) {
      lvx::ShowErrorMessage(HWINDOW, lvx::kBufferTooSmall);
      return;
    }
    const std::int32_t pages = GETPAGECOUNT();
    lvx::TextAssembler text(result);
    for (std::int32_t index = 0; index < pages; ++index) {
      const std::int32_t length = MeasurePage(HWINDOW, index);
      if (length < 0) {
        continue;  // the viewer's error for this page: nothing to fetch, nothing added
      }
      std::vector<char> page = TextBuffer(static_cast<std::size_t>(length));
      FetchPageText(HWINDOW, page);
      text.Append(lvx::WrittenText(page));  // cut at the field's capacity
    }
    lvx::AssignPadded(TEXT, text.Text());
  });
}
