// unsupported.cpp: the kt functions this host does not do yet (the printer): KT_E_UNSUPPORTED
// once the host is initialised, KT_E_NOTINIT before.
#include "host.h"

#define HOST_NOT_BUILT(X)         \
  X(ktCaptureToPrinterBegin, 3)   \
  X(ktCaptureToPrinterControl, 2)

#define HOST_UNSUPPORTED(name, words)       \
  int32_t name(OXEL_HOST_PARAMS_##words) {  \
    if (int32_t r = host_enter()) return r; \
    return KT_E_UNSUPPORTED;                \
  }
HOST_NOT_BUILT(HOST_UNSUPPORTED)
