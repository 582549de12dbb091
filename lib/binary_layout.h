// The binary interface of lumivexctl.dll, pinned: the size and offset of every field of the class
// and of every exported record, for both architectures. A change that moves any of them breaks the
// build instead of the clients compiled against an earlier release. The checks hold for the
// layout the including file sees: binary_layout.cpp sees the compiler's own packing,
// binary_layout_packed_client.cpp the layout of a client compiled with 1-byte packing. Nothing
// here generates code.
#ifndef LUMIVEXCTL_LIB_BINARY_LAYOUT_H
#define LUMIVEXCTL_LIB_BINARY_LAYOUT_H

#include <cstddef>

#include "lumivexctl/host_window.h"
#include "lumivexctl/lumivexcontrol.h"
#include "lumivexctl/lvx_types.h"

namespace {

// The value that holds in this build: the first for 32-bit programs, the second for 64-bit ones.
constexpr std::size_t Pin(std::size_t in32bit, std::size_t in64bit) {
  return sizeof(void*) == 4 ? in32bit : in64bit;
}

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);
static_assert(sizeof(LvxAddressValue) == sizeof(void*));

// Parameter records.
static_assert(sizeof(LvxText) == Pin(8, 16));
static_assert(offsetof(LvxText, data) == 0);
static_assert(offsetof(LvxText, length) == Pin(4, 8));

static_assert(sizeof(LvxTextField) == Pin(8, 16));
static_assert(offsetof(LvxTextField, data) == 0);
static_assert(offsetof(LvxTextField, capacity) == Pin(4, 8));

static_assert(sizeof(LvxOptionalInt32) == 8);
static_assert(offsetof(LvxOptionalInt32, value) == 0);
static_assert(offsetof(LvxOptionalInt32, omitted) == 4);

static_assert(sizeof(LvxOptionalText) == Pin(12, 24));
static_assert(offsetof(LvxOptionalText, text) == 0);
static_assert(offsetof(LvxOptionalText, omitted) == Pin(8, 16));

// The field list records.
static_assert(sizeof(LvxFieldInfo) == Pin(16, 24));
static_assert(offsetof(LvxFieldInfo, name) == 0);
static_assert(offsetof(LvxFieldInfo, type) == Pin(4, 8));
static_assert(offsetof(LvxFieldInfo, offset) == Pin(8, 12));
static_assert(offsetof(LvxFieldInfo, size) == Pin(12, 16));

static_assert(sizeof(LvxFieldList) == Pin(12, 16));
static_assert(offsetof(LvxFieldList, count) == 0);
static_assert(offsetof(LvxFieldList, objectSize) == 4);
static_assert(offsetof(LvxFieldList, fields) == 8);

// A host window object is one pointer to its table of seven services.
static_assert(sizeof(LvxHostWindow) == sizeof(void*));

// The class: the operation table pointer, then the fields in declared order. offsetof on a
// polymorphic class is GCC's documented layout, which is the layout clients are built against.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(LUMIVEXCONTROL, HWINDOW) == Pin(4, 8));
static_assert(offsetof(LUMIVEXCONTROL, LIBHANDLE) == Pin(8, 16));
static_assert(offsetof(LUMIVEXCONTROL, LUMIVEXCLASSNAME) == Pin(12, 24));
static_assert(offsetof(LUMIVEXCONTROL, LUMIVEXDLLNAME) == Pin(76, 88));
static_assert(offsetof(LUMIVEXCONTROL, TVHORZSCROLLBAR) == Pin(140, 152));
static_assert(offsetof(LUMIVEXCONTROL, TVVERTSCROLLBAR) == Pin(141, 153));
static_assert(offsetof(LUMIVEXCONTROL, TVPROPERTYPANEL) == Pin(142, 154));
static_assert(offsetof(LUMIVEXCONTROL, TVNAVIGATIONPANEL) == Pin(143, 155));
static_assert(offsetof(LUMIVEXCONTROL, TVVIEWPANEL) == Pin(144, 156));
#pragma GCC diagnostic pop
static_assert(sizeof(LUMIVEXCONTROL::HWINDOW) == 4);
static_assert(sizeof(LUMIVEXCONTROL::LIBHANDLE) == Pin(4, 8));
static_assert(sizeof(LUMIVEXCONTROL::LUMIVEXCLASSNAME) == 64);
static_assert(sizeof(LUMIVEXCONTROL::LUMIVEXDLLNAME) == 64);
static_assert(sizeof(LUMIVEXCONTROL) == Pin(148, 160));

}  // namespace

#endif  // LUMIVEXCTL_LIB_BINARY_LAYOUT_H
