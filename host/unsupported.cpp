// unsupported.cpp: the kt functions this host does not do (file transfers, the printer,
// automatic download): KT_E_UNSUPPORTED once the host is initialised, KT_E_NOTINIT
// before.
#include "host.h"

#define HOST_NOT_BUILT(X)         \
  X(ktCaptureToPrinterBegin, 3)   \
  X(ktCaptureToPrinterControl, 2) \
  X(ktClearXferDropList, 1)       \
  X(ktClearXferSendList, 1)       \
  X(ktGetXferDirectory, 4)        \
  X(ktGetXferDropList, 4)         \
  X(ktGetXferFinalStatus, 1)      \
  X(ktGetXferParameters, 1)       \
  X(ktGetXferProtocol, 2)         \
  X(ktGetXferSendList, 4)         \
  X(ktGetXferStatus, 1)           \
  X(ktSetAdlOverride, 2)          \
  X(ktSetXferDirectory, 3)        \
  X(ktSetXferParameters, 2)       \
  X(ktSetXferProtocol, 3)         \
  X(ktWaitForXfer, 2)             \
  X(ktXferAbort, 2)               \
  X(ktXferAddToSendList, 2)       \
  X(ktXferDropSend, 2)            \
  X(ktXferReceive, 3)             \
  X(ktXferSend, 3)                \
  X(ktXferSendBatch, 3)           \
  X(ktXferSendFromList, 2)        \
  X(ktXferSendList, 3)

#define HOST_UNSUPPORTED(name, words)       \
  int32_t name(OXEL_HOST_PARAMS_##words) {  \
    if (int32_t r = host_enter()) return r; \
    return KT_E_UNSUPPORTED;                \
  }
HOST_NOT_BUILT(HOST_UNSUPPORTED)
