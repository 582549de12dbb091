// FINDTEXT: search option, preset, one of the two search forms, and exactly one mark command.
#include <array>

#include "lumivexctl/lumivexcontrol.h"
#include "text_field.h"
#include "viewer_channel.h"

std::int32_t LUMIVEXCONTROL::FINDTEXT(LvxText SEARCHTEXT, std::uint8_t MARKFOUND,
                                      std::uint8_t USEFIND2, std::uint8_t PRESET,
                                      std::uint8_t OPTIONVALUE) {
  std::array<char, lvx::kSearchBufferSize> text{};
  lvx::CopyCut(lvx::TrimmedText(SEARCHTEXT), text);

  if (OPTIONVALUE != 0) {
    lvx::SendCommand(HWINDOW, lvx::VCMD_FINDOPTION, OPTIONVALUE);  // widened without sign
  }
  if (PRESET != 0) {
    lvx::SendCommand(HWINDOW, lvx::VCMD_FINDPRESET, lvx::kFindPresetArgument);
  }
  const std::int32_t found =
      lvx::SendString(HWINDOW, USEFIND2 != 0 ? lvx::VCMD_FIND2 : lvx::VCMD_FIND1, text.data());

  // The first search form answers a negative result when nothing was found: then nothing is
  // marked. The second form's result is not read that way, so its text is always marked.
  const bool mark = MARKFOUND != 0 && (found >= 0 || USEFIND2 != 0);
  lvx::SendString(HWINDOW, lvx::VCMD_MARKTEXT, mark ? text.data() : "");
  return found;
}
