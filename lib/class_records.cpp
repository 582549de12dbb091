#include "class_records.h"

#include <cstddef>
#include <cstring>

#include "lumivexctl/lumivexcontrol.h"

// Offsets of the fields of a polymorphic class: GCC lays them out after the operation table
// pointer in declared order, and offsetof gives them; the warning is about portability to other
// compilers, which do not build this file.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
namespace {

// The formatter takes the stringizing # at the start of a line for a directive.
// clang-format off
#define LVX_FIELD(name, type)                                                    \
  LvxFieldInfo {                                                                 \
    #name, type, static_cast<std::int32_t>(offsetof(LUMIVEXCONTROL, name)),      \
        static_cast<std::int32_t>(sizeof(LUMIVEXCONTROL::name))                  \
  }
// clang-format on

const LvxFieldInfo kFields[] = {
    LVX_FIELD(HWINDOW, LVX_FIELD_INT32),
    LVX_FIELD(LIBHANDLE, sizeof(LvxAddressValue) == 8 ? LVX_FIELD_INT64 : LVX_FIELD_INT32),
    LVX_FIELD(LUMIVEXCLASSNAME, LVX_FIELD_CSTRING),
    LVX_FIELD(LUMIVEXDLLNAME, LVX_FIELD_CSTRING),
    LVX_FIELD(TVHORZSCROLLBAR, LVX_FIELD_UINT8),
    LVX_FIELD(TVVERTSCROLLBAR, LVX_FIELD_UINT8),
    LVX_FIELD(TVPROPERTYPANEL, LVX_FIELD_UINT8),
    LVX_FIELD(TVNAVIGATIONPANEL, LVX_FIELD_UINT8),
    LVX_FIELD(TVVIEWPANEL, LVX_FIELD_UINT8),
};
#undef LVX_FIELD

}  // namespace
#pragma GCC diagnostic pop

extern "C" {
LUMIVEXCTL_API extern const LvxFieldList LUMIVEXCONTROL_FIELDS = {
    static_cast<std::int32_t>(sizeof(kFields) / sizeof(kFields[0])),
    static_cast<std::int32_t>(sizeof(LUMIVEXCONTROL)), kFields};
LUMIVEXCTL_API void* const* LUMIVEXCONTROL_OPERATIONS = nullptr;
}

namespace lvx {

void AnnounceClass() noexcept {
  // The table pointer an object of the class carries is the class's operation table.
  const LUMIVEXCONTROL prototype;
  std::memcpy(static_cast<void*>(&LUMIVEXCONTROL_OPERATIONS), static_cast<const void*>(&prototype),
              sizeof(LUMIVEXCONTROL_OPERATIONS));
}

void WithdrawClass() noexcept { LUMIVEXCONTROL_OPERATIONS = nullptr; }

}  // namespace lvx
