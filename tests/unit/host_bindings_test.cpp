// The binding table of the kt built-ins: the argument counts, result types and narrowings of the
// 104 rows (their agreement with include/oxel_host.h is checked when host_bindings.cpp compiles).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "builtins/host_bindings.h"
#include "decl/types.h"

namespace {

const HostBinding *binding(const std::string &name) {
  for (int i = 0; i < host_binding_count; ++i)
    if (name == host_bindings[i].name) return &host_bindings[i];
  return nullptr;
}

std::vector<std::string> words_of(const char *text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

}  // namespace

TEST(HostBindings, CountsTypesAndNarrowings) {
  ASSERT_EQ(host_binding_count, 104);

  // The bindings by number of script arguments.
  const char *by_count[] = {
      "ktInitialize",
      "ktBlockRemoteInput ktClearOutputBuffer ktClearXferDropList ktClearXferSendList ktCloseSession "
      "ktDisconnectSession ktGetBaudRate ktGetConnectionStatus ktGetDisplay ktGetHWND ktGetPortMode "
      "ktGetRingsForAnswer ktGetSession ktGetWindowStateBits ktGetXferFinalStatus ktGetXferParameters "
      "ktGetXferStatus ktReleaseRemoteInput ktReloadPhonebook ktSavePhonebook ktSkipConnection",
      "ktCaptureControl ktCaptureToPrinterControl ktComDriverSpecial ktConnectSession ktGetOpenSession "
      "ktGetXferProtocol ktHideInput ktMenuString ktOpenSession ktPause ktSetAdlOverride ktSetBaudRate "
      "ktSetCaptureFileName ktSetDisplay ktSetEcho ktSetEmulator ktSetLocalDisplay ktSetLocalEcho "
      "ktSetLogFileName ktSetLogonTask ktSetMessageTimer ktSetNameString ktSetPortMode ktSetPortName "
      "ktSetPortType ktSetPulseTone ktSetRingsForAnswer ktSetSession ktSetStripTo7Bits "
      "ktSetXferParameters ktSizePhonebook ktSizeRavelto ktSizeSession ktSleep ktTerminate ktTextSend "
      "ktWaitForActivity ktWaitForOutputDone ktWaitForXfer ktWriteLogEntry ktXferAbort "
      "ktXferAddToSendList ktXferDropSend ktXferSendFromList",
      "ktCaptureBegin ktCaptureToPrinterBegin ktConnectAndDial ktGetAsciiSettings ktGetCaptureFileName "
      "ktGetEmulator ktGetLogFileName ktGetNameString ktGetPortName ktGetPortType ktGetVersion "
      "ktSetAsciiSettings ktSetSessionDataString ktSetXferDirectory ktSetXferProtocol ktTypeLocalText "
      "ktTypeText ktWaitForConnection ktWaitForLines ktWaitForLull ktXferReceive ktXferSend "
      "ktXferSendBatch ktXferSendList",
      "ktGetPhonebookEntry ktGetSelectedPhonebookEntry ktGetSessionDataString ktGetXferDirectory "
      "ktGetXferDropList ktGetXferSendList ktSetPortPrefs ktWaitForString",
      "ktGetRuntimeValue ktGetTextFromScreen ktWaitForPrompt",
      "ktGetInput ktMessageBox",
      "ktGetPortPrefs",
  };
  const std::vector<std::string> longs = words_of(
      "ktGetBaudRate ktGetOpenSession ktGetSession ktGetXferParameters ktInitialize ktOpenSession");
  const std::map<std::string, std::pair<unsigned, unsigned>> narrowed = {
      {"ktGetInput", {0x6, 0}},       {"ktGetPortPrefs", {0xA, 0}}, {"ktGetRuntimeValue", {0x2, 0}},
      {"ktGetTextFromScreen", {0x2, 0}}, {"ktWaitForPrompt", {0x2, 0}}, {"ktTerminate", {0, 0x2}},
  };
  int listed = 0;
  for (int count = 0; count < 8; ++count) {
    for (const std::string &name : words_of(by_count[count])) {
      ++listed;
      const HostBinding *b = binding(name);
      ASSERT_NE(b, nullptr) << name;
      EXPECT_EQ(b->args, count) << name;
      bool is_long = std::find(longs.begin(), longs.end(), name) != longs.end();
      EXPECT_EQ(b->return_type, is_long ? TY_LONG : TY_INT) << name;
      auto n = narrowed.find(name);
      std::pair<unsigned, unsigned> flags = n == narrowed.end() ? std::pair<unsigned, unsigned>{0, 0} : n->second;
      EXPECT_EQ(b->low16, flags.first) << name;
      EXPECT_EQ(b->signed16, flags.second) << name;
      HostForm form = name == "ktInitialize"     ? HOST_INITIALIZE
                      : name == "ktXferSendList" ? HOST_SEND_LIST
                                                 : HOST_PLAIN;
      EXPECT_EQ(b->form, form) << name;
    }
  }
  EXPECT_EQ(listed, 104);
}
