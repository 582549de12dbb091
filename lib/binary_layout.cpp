// The binary interface as the library itself is compiled: the compiler's own packing.
#include "binary_layout.h"
