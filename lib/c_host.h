// The two hosts the C interface starts a viewer with, and what INIT did with them.
#ifndef LUMIVEX_LIB_C_HOST_H
#define LUMIVEX_LIB_C_HOST_H

#include <cstdint>

#include "lumivexctl/host_window.h"
#include "lumivexctl/lumivexctl_c.h"

namespace lvx {

// A host given as a table of C services (LvxHostServices): each service is called with the
// table's context. The table is checked complete before use (IsComplete).
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor): never deleted through the base
class ServiceTableHost final : public LvxHostWindow {
 public:
  explicit ServiceTableHost(const LvxHostServices& services) noexcept : services_(services) {}
  [[nodiscard]] static bool IsComplete(const LvxHostServices& services) noexcept;

  void SetPixelUnits(std::uint8_t on) noexcept override;
  void ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y, std::int32_t* width,
                       std::int32_t* height) noexcept override;
  std::int32_t ClientWindow() noexcept override;
  LvxAddressValue InstanceHandle() noexcept override;
  std::int32_t SetControlWindow(std::int16_t control, std::int32_t window) noexcept override;
  std::int32_t ControlWindow(std::int16_t control) noexcept override;
  void ShowMessage(const char* text) noexcept override;

 private:
  const LvxHostServices& services_;
};

// Passes every service on to another host and notes whether INIT got as far as placing the viewer
// (it switches pixel units on only after the library loaded and its class was found). That tells
// the C caller why INIT answered 0, without a second path through INIT.
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor): never deleted through the base
class ObservedHost final : public LvxHostWindow {
 public:
  explicit ObservedHost(LvxHostWindow& inner) noexcept : inner_(inner) {}
  [[nodiscard]] bool ReachedPlacement() const noexcept { return reachedPlacement_; }

  void SetPixelUnits(std::uint8_t on) noexcept override;
  void ControlPosition(std::int16_t control, std::int32_t* x, std::int32_t* y, std::int32_t* width,
                       std::int32_t* height) noexcept override;
  std::int32_t ClientWindow() noexcept override;
  LvxAddressValue InstanceHandle() noexcept override;
  std::int32_t SetControlWindow(std::int16_t control, std::int32_t window) noexcept override;
  std::int32_t ControlWindow(std::int16_t control) noexcept override;
  void ShowMessage(const char* text) noexcept override;

 private:
  LvxHostWindow& inner_;
  bool reachedPlacement_ = false;
};

}  // namespace lvx

#endif
