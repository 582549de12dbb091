// The binary interface as a client compiled with 1-byte packing sees it (the default of many
// host languages' C bindings, or a client's own #pragma pack). The public headers set their own
// packing, so every size and offset must come out as in binary_layout.cpp.
#pragma pack(push, 1)
#include "lumivexctl/host_window.h"
#include "lumivexctl/lumivexcontrol.h"
#include "lumivexctl/lvx_types.h"
#pragma pack(pop)

#include "binary_layout.h"
