// The host automation bindings: the 104 kt rows of the built-in table. Each passes the script's
// argument words on, in order, to the function of the same name in the host automation library
// and gives back its 32-bit result unchanged; the only changes on the way are the 16-bit
// arguments below, ktInitialize's start-up values and ktXferSendList's copy of its list.
// include/oxel_host.h describes the same calls from the host library's side.
#pragma once
#include <cstdint>

#include "builtins/builtin_table.h"

// How a binding builds the words for the host function.
enum HostForm {
  HOST_PLAIN,       // the script's arguments, narrowed where the row says
  HOST_INITIALIZE,  // no script arguments: 0 and the three start-up values
  HOST_SEND_LIST,   // the second argument is a 0-terminated list, passed as a copy
};

struct HostBinding {
  const char *name;
  int args;              // script arguments (= words the host function receives, but ktInitialize)
  int return_type;       // TY_INT or TY_LONG
  unsigned low16;        // bit n-1: argument n passes only its low 16 bits (0..65535)
  unsigned signed16;     // bit n-1: argument n passes its low 16 bits sign-extended
  HostForm form;
};

// Most entries of a ktXferSendList list that reach the host (the copy adds a 0 entry).
constexpr int HOST_LIST_ENTRIES = 100;

// X(name, script arguments, result type, 16-bit arguments, sign-extended 16-bit arguments, form),
// in byte order of the names. A(n) is the bit of argument n. The kt rows of the built-in table
// are made from this list, and host_bindings.cpp checks it against include/oxel_host.h when it
// is compiled.
#define OXEL_HOST_BINDINGS(X, A) \
  X(ktBlockRemoteInput,           1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktCaptureBegin,               3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktCaptureControl,             2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktCaptureToPrinterBegin,      3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktCaptureToPrinterControl,    2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktClearOutputBuffer,          1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktClearXferDropList,          1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktClearXferSendList,          1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktCloseSession,               1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktComDriverSpecial,           2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktConnectAndDial,             3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktConnectSession,             2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktDisconnectSession,          1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetAsciiSettings,           3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetBaudRate,                1, TY_LONG, 0, 0, HOST_PLAIN) \
  X(ktGetCaptureFileName,         3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetConnectionStatus,        1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetDisplay,                 1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetEmulator,                3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetHWND,                    1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetInput,                   6, TY_INT,  A(2) | A(3), 0, HOST_PLAIN) \
  X(ktGetLogFileName,             3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetNameString,              3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetOpenSession,             2, TY_LONG, 0, 0, HOST_PLAIN) \
  X(ktGetPhonebookEntry,          4, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetPortMode,                1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetPortName,                3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetPortPrefs,               7, TY_INT,  A(2) | A(4), 0, HOST_PLAIN) \
  X(ktGetPortType,                3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetRingsForAnswer,          1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetRuntimeValue,            5, TY_INT,  A(2), 0, HOST_PLAIN) \
  X(ktGetSelectedPhonebookEntry,  4, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetSession,                 1, TY_LONG, 0, 0, HOST_PLAIN) \
  X(ktGetSessionDataString,       4, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetTextFromScreen,          5, TY_INT,  A(2), 0, HOST_PLAIN) \
  X(ktGetVersion,                 3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetWindowStateBits,         1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetXferDirectory,           4, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetXferDropList,            4, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetXferFinalStatus,         1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetXferParameters,          1, TY_LONG, 0, 0, HOST_PLAIN) \
  X(ktGetXferProtocol,            2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetXferSendList,            4, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktGetXferStatus,              1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktHideInput,                  2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktInitialize,                 0, TY_LONG, 0, 0, HOST_INITIALIZE) \
  X(ktMenuString,                 2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktMessageBox,                 6, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktOpenSession,                2, TY_LONG, 0, 0, HOST_PLAIN) \
  X(ktPause,                      2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktReleaseRemoteInput,         1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktReloadPhonebook,            1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSavePhonebook,              1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetAdlOverride,             2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetAsciiSettings,           3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetBaudRate,                2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetCaptureFileName,         2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetDisplay,                 2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetEcho,                    2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetEmulator,                2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetLocalDisplay,            2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetLocalEcho,               2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetLogFileName,             2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetLogonTask,               2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetMessageTimer,            2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetNameString,              2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetPortMode,                2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetPortName,                2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetPortPrefs,               4, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetPortType,                2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetPulseTone,               2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetRingsForAnswer,          2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetSession,                 2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetSessionDataString,       3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetStripTo7Bits,            2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetXferDirectory,           3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetXferParameters,          2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSetXferProtocol,            3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSizePhonebook,              2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSizeRavelto,                2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSizeSession,                2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSkipConnection,             1, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktSleep,                      2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktTerminate,                  2, TY_INT,  0, A(2), HOST_PLAIN) \
  X(ktTextSend,                   2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktTypeLocalText,              3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktTypeText,                   3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktWaitForActivity,            2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktWaitForConnection,          3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktWaitForLines,               3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktWaitForLull,                3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktWaitForOutputDone,          2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktWaitForPrompt,              5, TY_INT,  A(2), 0, HOST_PLAIN) \
  X(ktWaitForString,              4, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktWaitForXfer,                2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktWriteLogEntry,              2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktXferAbort,                  2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktXferAddToSendList,          2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktXferDropSend,               2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktXferReceive,                3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktXferSend,                   3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktXferSendBatch,              3, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktXferSendFromList,           2, TY_INT,  0, 0, HOST_PLAIN) \
  X(ktXferSendList,               3, TY_INT,  0, 0, HOST_SEND_LIST)

#define OXEL_HOST_ADAPTER(name, ...) BuiltinResult bi_##name(const std::int32_t *w);
#define OXEL_HOST_BIT(n) (1u << ((n) - 1))
OXEL_HOST_BINDINGS(OXEL_HOST_ADAPTER, OXEL_HOST_BIT)
#undef OXEL_HOST_ADAPTER

extern const HostBinding host_bindings[];
extern const int host_binding_count;

// The kt rows of the built-in table, in its order: {result type, name, adapter}.
#define OXEL_HOST_BUILTIN_ROW(name, args, type, ...) {type, #name, bi_##name},
#define OXEL_HOST_BUILTIN_ROWS OXEL_HOST_BINDINGS(OXEL_HOST_BUILTIN_ROW, OXEL_HOST_BIT)
