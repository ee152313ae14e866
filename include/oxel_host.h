/* oxel_host.h: the interface between oxel and a host automation library.
 *
 * Scripts drive the host product through 104 built-ins whose names begin with "kt". oxel passes
 * each call on to the function of the same name exported by the host automation library and
 * hands its result back to the script unchanged:
 *
 *   Windows  RV32AUTO.DLL, loaded with LoadLibraryA (the executable's folder is searched first).
 *            The functions use the standard calling convention (__stdcall) and are exported
 *            under their plain names ("ktSleep", not "_ktSleep@8"; with MinGW, link the DLL
 *            with -Wl,--kill-at or a .def file).
 *   POSIX    a shared library chosen with oxel's option --host=PATH, else by the environment
 *            variable OXEL_HOST, else librv32auto.so in the folder of the oxel executable.
 *            PATH and OXEL_HOST are file paths: a name without '/' is the file of that name in
 *            the current directory (the loader's search path is not used). The functions use
 *            the C calling convention.
 *
 * The library is loaded at the first call of a kt built-in, so scripts that use none run without
 * it. When it cannot be loaded (on POSIX the first failure writes one line to standard error,
 * "oxel: host library PATH: REASON"), when its attach call refuses, or when it lacks the
 * function a script calls, the script gets error 403 "Unknown function 'ktName'" and the call
 * yields OXEL_HOST_UNAVAILABLE, never 0, which scripts read as success.
 *
 * Arguments and results
 *   Every function takes 32-bit integer arguments, as many as OXEL_HOST_FUNCTIONS below lists,
 *   in the script's order, and returns a 32-bit integer. The script's values arrive unchanged
 *   except for these 16-bit arguments (counted from 1):
 *
 *     ktGetInput 2 and 3, ktGetPortPrefs 2 and 4, ktGetRuntimeValue 2, ktGetTextFromScreen 2,
 *     ktWaitForPrompt 2    only the low 16 bits arrive, as 0 to 65535
 *     ktTerminate 2        the low 16 bits arrive sign-extended, as -32768 to 32767
 *
 *   A script may pass fewer arguments than a function takes; the words it did not fill arrive
 *   as 0 (so ktSleep() sleeps 0 ms). Extra script arguments never arrive.
 *
 *   ktInitialize takes no script arguments; the host function receives four words: 0, the
 *   interpreter's instance handle, its previous-instance handle and the address of its command
 *   line. On POSIX these are the process id, 0 and 0 (a native address does not fit in a word):
 *   the command line comes with the attach call below.
 *
 *   ktXferSendList(a, list, c) receives, as its second word, the address of a copy of the
 *   script's list of 32-bit entries: at most 100 entries, ending with a 0 entry. The copy is
 *   valid only until the function returns. A list that leaves the script's memory is refused
 *   with error 102 and the function is not called.
 *
 * Script addresses
 *   Strings and buffers arrive as 32-bit script addresses. On Windows they are the real
 *   addresses. On POSIX they are not: turn them into pointers with the pointer and string
 *   functions that the attach call hands over (on Windows pointer gives the address back after
 *   the same check).
 *
 * The attach call
 *   A library may export OXEL_HOST_ATTACH_NAME. The interpreter calls it once, right after
 *   loading the library and before the first host function, with an OxelHost record that
 *   stays valid until the process ends. Copy the pointer, or the fields you need. It returns 0
 *   to accept the interpreter; any other value refuses it (say, a version it cannot serve):
 *   the library is unloaded and every kt call then gets 403 and OXEL_HOST_UNAVAILABLE.
 *
 * The end of the run (POSIX)
 *   A library may export OXEL_HOST_DETACH_NAME. The interpreter calls it exactly once at every
 *   end of a run that loaded and attached the library, before the process ends, with the exit
 *   status: main returned (0), the script's exit(N) (N), end_run(N) (N), an error answered
 *   Cancel or ending a run that does not ask (1), SIGINT (130), SIGTERM (143), SIGHUP (129),
 *   the time limit of --time-limit (124). The script's streams are closed by then; the terminal
 *   modes are restored after it. Detach may come while a host function is running (when that
 *   function called end_run). A second SIGINT, SIGTERM or SIGHUP while the run is ending ends
 *   the process at once, without waiting for detach to return. After a signal that cannot be
 *   caught (SIGKILL) there is no detach call.
 *
 * Versions
 *   The interpreter fills in OxelHost for the version it speaks: 2 on POSIX, 1 on Windows,
 *   whose interface is that of version 1 (no string, end_run or interrupt_fd, no detach call,
 *   the attach result is not looked at). On POSIX a library is served as a version 2 library,
 *   whose attach result counts, when it exports OXEL_HOST_INTERFACE_NAME with a value of 2 or
 *   more or exports OXEL_HOST_DETACH_NAME. Including this header with the prototypes (below)
 *   defines OXEL_HOST_INTERFACE_NAME for the library, as a weak symbol. A library built for
 *   version 1, whose attach call returned nothing, has neither: it is always accepted, and its
 *   attach call's result register is not read.
 *
 * Threads
 *   The interpreter has one thread; a host function blocks the script until it returns. The
 *   functions of OxelHost may be called only from within a host function (or the attach and
 *   detach calls), on that thread.
 */
#ifndef OXEL_HOST_H
#define OXEL_HOST_H

#include <stdint.h>

#if defined(_WIN32)
#define OXEL_HOST_CALL __stdcall
#define OXEL_HOST_EXPORT __declspec(dllexport)
#else
#define OXEL_HOST_CALL
#define OXEL_HOST_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The version of OxelHost that this header describes. Later versions only add fields at the
   end; 'size' tells which fields a caller filled in (a version 1 record ends after 'trace'). */
#define OXEL_HOST_VERSION 2

/* What a kt call yields when there is no library or no such function in it (the same number as
   the reference host's KT_E_UNSUPPORTED). */
#define OXEL_HOST_UNAVAILABLE (-15)

typedef struct OxelHost {
  uint32_t size;    /* sizeof(OxelHost) as the interpreter knows it */
  uint32_t version; /* the OxelHost version that the interpreter filled in */
  /* The native pointer to the 'size' bytes at script address 'address', or NULL when any of them
     lies outside the script's memory (a size of 0 checks the address alone). Script memory never
     moves, but the script may change or reuse it once the host function has returned. */
  void *(OXEL_HOST_CALL *pointer)(uint32_t address, uint32_t size);
  /* The command line that started the interpreter, NUL-terminated: "[TEXT] SCRIPT" as the host
     product passes it, or the script path when oxel was started with a plain path. */
  const char *command_line;
  /* Writes 'text' as it stands (no line end is added) to the interpreter's trace output, where
     the traces of the script go (on Windows: OutputDebugStringA). */
  void(OXEL_HOST_CALL *trace)(const char *text);

  /* Version 2 (POSIX). */

  /* The native pointer to the NUL-terminated string at script address 'address' when the whole
     string, its NUL included, lies inside script memory, else NULL; '*length' (when 'length' is
     not NULL) gets its length without the NUL, or 0 for NULL. */
  const char *(OXEL_HOST_CALL *string)(uint32_t address, uint32_t *length);
  /* Ends the run as the script's exit(status) does: the script's streams are flushed and
     closed, the detach call is made, and the process ends with status & 255. Never returns. */
  void(OXEL_HOST_CALL *end_run)(int status);
  /* A descriptor that becomes readable when the run is interrupted (SIGINT, SIGTERM, SIGHUP) or
     its time limit passes, and then stays readable. A waiting host function adds it to its
     poll set and returns early; the interpreter then ends the run. Never read from it. */
  int interrupt_fd;
} OxelHost;

#define OXEL_HOST_ATTACH_NAME "oxel_host_attach"
typedef int(OXEL_HOST_CALL *OxelHostAttach)(const OxelHost *host);
#define OXEL_HOST_DETACH_NAME "oxel_host_detach"
typedef void(OXEL_HOST_CALL *OxelHostDetach)(int status);
/* A uint32_t holding the OxelHost version that the library was built for. */
#define OXEL_HOST_INTERFACE_NAME "oxel_host_interface"

/* The host functions with the number of 32-bit words each receives, in byte order of their
   names: X(name, words). */
/* clang-format off */
#define OXEL_HOST_FUNCTIONS(X) \
  X(ktBlockRemoteInput, 1) X(ktCaptureBegin, 3) X(ktCaptureControl, 2) \
  X(ktCaptureToPrinterBegin, 3) X(ktCaptureToPrinterControl, 2) X(ktClearOutputBuffer, 1) \
  X(ktClearXferDropList, 1) X(ktClearXferSendList, 1) X(ktCloseSession, 1) \
  X(ktComDriverSpecial, 2) X(ktConnectAndDial, 3) X(ktConnectSession, 2) \
  X(ktDisconnectSession, 1) X(ktGetAsciiSettings, 3) X(ktGetBaudRate, 1) \
  X(ktGetCaptureFileName, 3) X(ktGetConnectionStatus, 1) X(ktGetDisplay, 1) \
  X(ktGetEmulator, 3) X(ktGetHWND, 1) X(ktGetInput, 6) X(ktGetLogFileName, 3) \
  X(ktGetNameString, 3) X(ktGetOpenSession, 2) X(ktGetPhonebookEntry, 4) X(ktGetPortMode, 1) \
  X(ktGetPortName, 3) X(ktGetPortPrefs, 7) X(ktGetPortType, 3) X(ktGetRingsForAnswer, 1) \
  X(ktGetRuntimeValue, 5) X(ktGetSelectedPhonebookEntry, 4) X(ktGetSession, 1) \
  X(ktGetSessionDataString, 4) X(ktGetTextFromScreen, 5) X(ktGetVersion, 3) \
  X(ktGetWindowStateBits, 1) X(ktGetXferDirectory, 4) X(ktGetXferDropList, 4) \
  X(ktGetXferFinalStatus, 1) X(ktGetXferParameters, 1) X(ktGetXferProtocol, 2) \
  X(ktGetXferSendList, 4) X(ktGetXferStatus, 1) X(ktHideInput, 2) X(ktInitialize, 4) \
  X(ktMenuString, 2) X(ktMessageBox, 6) X(ktOpenSession, 2) X(ktPause, 2) \
  X(ktReleaseRemoteInput, 1) X(ktReloadPhonebook, 1) X(ktSavePhonebook, 1) \
  X(ktSetAdlOverride, 2) X(ktSetAsciiSettings, 3) X(ktSetBaudRate, 2) \
  X(ktSetCaptureFileName, 2) X(ktSetDisplay, 2) X(ktSetEcho, 2) X(ktSetEmulator, 2) \
  X(ktSetLocalDisplay, 2) X(ktSetLocalEcho, 2) X(ktSetLogFileName, 2) X(ktSetLogonTask, 2) \
  X(ktSetMessageTimer, 2) X(ktSetNameString, 2) X(ktSetPortMode, 2) X(ktSetPortName, 2) \
  X(ktSetPortPrefs, 4) X(ktSetPortType, 2) X(ktSetPulseTone, 2) X(ktSetRingsForAnswer, 2) \
  X(ktSetSession, 2) X(ktSetSessionDataString, 3) X(ktSetStripTo7Bits, 2) \
  X(ktSetXferDirectory, 3) X(ktSetXferParameters, 2) X(ktSetXferProtocol, 3) \
  X(ktSizePhonebook, 2) X(ktSizeRavelto, 2) X(ktSizeSession, 2) X(ktSkipConnection, 1) \
  X(ktSleep, 2) X(ktTerminate, 2) X(ktTextSend, 2) X(ktTypeLocalText, 3) X(ktTypeText, 3) \
  X(ktWaitForActivity, 2) X(ktWaitForConnection, 3) X(ktWaitForLines, 3) X(ktWaitForLull, 3) \
  X(ktWaitForOutputDone, 2) X(ktWaitForPrompt, 5) X(ktWaitForString, 4) X(ktWaitForXfer, 2) \
  X(ktWriteLogEntry, 2) X(ktXferAbort, 2) X(ktXferAddToSendList, 2) X(ktXferDropSend, 2) \
  X(ktXferReceive, 3) X(ktXferSend, 3) X(ktXferSendBatch, 3) X(ktXferSendFromList, 2) \
  X(ktXferSendList, 3)
/* clang-format on */

/* The parameter lists by word count, for declaring and defining the functions:
   OXEL_HOST_PARAMS_2 is "int32_t, int32_t". */
#define OXEL_HOST_PARAMS_0 void
#define OXEL_HOST_PARAMS_1 int32_t
#define OXEL_HOST_PARAMS_2 int32_t, int32_t
#define OXEL_HOST_PARAMS_3 int32_t, int32_t, int32_t
#define OXEL_HOST_PARAMS_4 int32_t, int32_t, int32_t, int32_t
#define OXEL_HOST_PARAMS_5 int32_t, int32_t, int32_t, int32_t, int32_t
#define OXEL_HOST_PARAMS_6 int32_t, int32_t, int32_t, int32_t, int32_t, int32_t
#define OXEL_HOST_PARAMS_7 int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t

/* Prototypes of the exports, for the library that defines them. Define OXEL_HOST_NO_PROTOTYPES
   before including this header to leave them out (the interpreter does). */
#ifndef OXEL_HOST_NO_PROTOTYPES
#define OXEL_HOST_DECLARE(name, words) OXEL_HOST_EXPORT int32_t OXEL_HOST_CALL name(OXEL_HOST_PARAMS_##words);
OXEL_HOST_FUNCTIONS(OXEL_HOST_DECLARE)
#undef OXEL_HOST_DECLARE
OXEL_HOST_EXPORT int OXEL_HOST_CALL oxel_host_attach(const OxelHost *host);
OXEL_HOST_EXPORT void OXEL_HOST_CALL oxel_host_detach(int status);
#if !defined(_WIN32)
/* Marks the library as one built for this version (see Versions above). Weak, so that every
   file of a library may include this header. */
OXEL_HOST_EXPORT __attribute__((weak)) uint32_t oxel_host_interface = OXEL_HOST_VERSION;
#endif
#endif

#ifdef __cplusplus
}
#endif

#endif /* OXEL_HOST_H */
