/* The example script examples/remote_logon.c runs against the recording host: it dials, waits for
   the prompts, logs on, captures the report and hangs up, with every call as the host sees it. */
#include "../../../examples/remote_logon.c"
/* expect: ktInitialize(0, instance, 0, command line) */
/* expect: ktGetSession(0) */
/* expect: ktGetSessionDataString(0, "Password", "", 32) */
/* expect: ktConnectAndDial(0, "555-0142", 0) */
/* expect: ktWaitForConnection(0, 2, 60000) */
/* expect: ktWaitForPrompt(0, 300, "login: ", 30000, 0) */
/* expect: ktTypeText(0, "operator", -1) */
/* expect: ktTypeText(0, "\r", -1) */
/* expect: ktWaitForPrompt(0, 300, "Password: ", 30000, 0) */
/* expect: ktTypeText(0, "", -1) */
/* expect: ktTypeText(0, "\r", -1) */
/* expect: ktWaitForPrompt(0, 300, "$ ", 30000, 0) */
/* expect: ktCaptureBegin(0, "daily_report.txt", 0) */
/* expect: ktTypeText(0, "cat reports/daily.txt", -1) */
/* expect: ktTypeText(0, "\r", -1) */
/* expect: ktWaitForLull(0, 3000, 30000) */
/* expect: ktCaptureControl(0, 0) */
/* expect: ktTypeText(0, "exit", -1) */
/* expect: ktTypeText(0, "\r", -1) */
/* expect: ktWaitForString(0, "logout", 30000, 0) */
/* expect: ktDisconnectSession(0) */
/* expect: ktTerminate(0, 0) */
