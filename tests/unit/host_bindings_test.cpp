// The binding table of the kt built-ins: the 104 rows against the built-in table, the argument
// counts, result types and narrowings of the host interface, and the public header that host
// libraries are written against.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "builtins/host_bindings.h"
#include "decl/types.h"
#include "platform/platform.h"
#define OXEL_HOST_NO_PROTOTYPES
#include "include/oxel_host.h"

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
  std::string problem;
  EXPECT_TRUE(check_host_bindings(host_bindings, host_binding_count, &problem)) << problem;
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

// The check itself finds a table that has drifted from the built-in table.
TEST(HostBindings, CheckFindsDrift) {
  std::vector<HostBinding> rows(host_bindings, host_bindings + host_binding_count);
  std::string problem;
  auto broken = [&](void (*change)(std::vector<HostBinding> &)) {
    std::vector<HostBinding> copy = rows;
    change(copy);
    return !check_host_bindings(copy.data(), static_cast<int>(copy.size()), &problem);
  };
  EXPECT_TRUE(broken([](std::vector<HostBinding> &r) { r.pop_back(); }));
  EXPECT_TRUE(broken([](std::vector<HostBinding> &r) { std::swap(r[3], r[4]); }));
  EXPECT_TRUE(broken([](std::vector<HostBinding> &r) { r[14].return_type = TY_INT; }));
  EXPECT_TRUE(broken([](std::vector<HostBinding> &r) { r[0].function = r[1].function; }));
  EXPECT_TRUE(broken([](std::vector<HostBinding> &r) { r[0].low16 = 0x2; }));
  EXPECT_TRUE(broken([](std::vector<HostBinding> &r) { r[0].name = "ktblockRemoteInput"; }));
}

// Host libraries are written against include/oxel_host.h: the same functions, and the words
// each receives (ktInitialize: 0 and three start-up values).
TEST(HostBindings, AgreeWithThePublicHeader) {
  struct Export {
    const char *name;
    int words;
  };
  const Export exports[] = {
#define OXEL_EXPORT_ROW(name, words) {#name, words},
      OXEL_HOST_FUNCTIONS(OXEL_EXPORT_ROW)
#undef OXEL_EXPORT_ROW
  };
  ASSERT_EQ(sizeof exports / sizeof exports[0], 104u);
  for (int i = 0; i < 104; ++i) {
    const HostBinding &b = host_bindings[i];
    EXPECT_STREQ(exports[i].name, b.name);
    EXPECT_EQ(exports[i].words, b.form == HOST_INITIALIZE ? 4 : b.args) << b.name;
    EXPECT_LE(exports[i].words, PLAT_HOST_MAX_WORDS) << b.name;
  }
}
