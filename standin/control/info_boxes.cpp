#include "info_boxes.h"

namespace lvx::standin {

HWND BoxOwner(HWND viewer) {
  const HWND root = GetAncestor(viewer, GA_ROOT);
  if (root != nullptr && root != viewer) {
    return root;
  }
  return GetWindow(viewer, GW_OWNER);
}

void ShowPropertiesBox(HWND viewer, const std::string& facts) {
  MessageBoxA(BoxOwner(viewer), facts.c_str(), kPropertiesCaption, MB_OK | MB_ICONINFORMATION);
}

void ShowAboutBox(HWND viewer) {
  MessageBoxA(BoxOwner(viewer),
              "Lumivex Viewer Control (stand-in)\nVersion 1.0\n\n"
              "Shows, searches and prints the text of PDF documents.",
              kAboutCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace lvx::standin
