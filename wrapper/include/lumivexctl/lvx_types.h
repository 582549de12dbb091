// Parameter kinds of the LUMIVEXCONTROL operations. Every type here is a plain record of
// fixed-width integers and pointers with an explicit packing, so its layout is the same for every
// client compiler of one architecture whatever packing the client compiles with, and its name
// appears in each operation's exported symbol, which therefore tells the kind of each parameter
// (text, optional value, text field, host window). Pointers are 4 bytes in 32-bit and 8 bytes in
// 64-bit programs; lib/binary_layout.h pins every size and offset of both, for clients of any
// packing.
#ifndef LUMIVEXCTL_LVX_TYPES_H
#define LUMIVEXCTL_LVX_TYPES_H

#include <cstdint>

// A handle that holds an address (module and instance handles): as wide as a pointer, so 32 bits
// in 32-bit programs (the same type as std::int32_t there) and 64 bits in 64-bit ones. Window
// handles travel as 32-bit values in both: only their low 32 bits are significant.
using LvxAddressValue = std::intptr_t;

// Natural alignment, set explicitly: a client compiled with 1-byte packing gets the same layout.
#pragma pack(push, 8)

// Text passed by value: a fixed-length run of 8-bit characters filled out with trailing spaces.
// The operation reads at most `length` characters, stops early at a NUL (so a C string with its
// strlen also works) and removes the trailing spaces before use. A null `data` is empty text.
struct LvxText {
  const char* data;
  std::int32_t length;
};

// The caller's fixed-length text field, passed by reference: `capacity` bytes at `data`. An
// operation that delivers text writes at most `capacity` bytes, never a NUL, and fills the field
// with spaces after the text. A null `data` or a capacity below 0 counts as capacity 0.
struct LvxTextField {
  char* data;
  std::int32_t capacity;
};

// An optional signed 32-bit value. When `omitted` is not 0 the caller left the argument out;
// the operation then goes by that flag and ignores `value` (which is 0 by convention).
struct LvxOptionalInt32 {
  std::int32_t value;
  std::uint8_t omitted;
};

// Optional text. When `omitted` is not 0 the caller left the argument out; empty text with
// `omitted` 0 is a different call (see LOADFILE).
struct LvxOptionalText {
  LvxText text;
  std::uint8_t omitted;
};

#pragma pack(pop)

// Helpers for C++ callers.
inline constexpr LvxOptionalInt32 LvxOmittedInt32() { return LvxOptionalInt32{0, 1}; }
inline constexpr LvxOptionalInt32 LvxGivenInt32(std::int32_t value) {
  return LvxOptionalInt32{value, 0};
}
inline constexpr LvxOptionalText LvxOmittedText() {
  return LvxOptionalText{LvxText{nullptr, 0}, 1};
}
inline constexpr LvxOptionalText LvxGivenText(LvxText text) { return LvxOptionalText{text, 0}; }

#endif
