// The object behind the C interface's opaque viewer handle.
#ifndef LUMIVEX_LIB_C_VIEWER_H
#define LUMIVEX_LIB_C_VIEWER_H

#include "lumivexctl/lumivexcontrol.h"
#include "lumivexctl/lumivexctl_c.h"

// One LUMIVEXCONTROL object, and whether INIT took something that KILL has yet to release (so
// that lvx_destroy can release it). The class's own layout stays as published; this record is the
// library's own.
struct LvxViewer {
  LUMIVEXCONTROL control;
  bool started = false;
};

#endif
