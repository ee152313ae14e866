/* remote_logon.c: logs on to a remote system through the host product, waits for its prompts,
   captures the day's report to a file and hangs up.

   The host product starts it as "[session] remote_logon.c". On POSIX oxel calls the host
   automation library it finds (see the README), or the one named:

       oxel --host=PATH/librv32auto.so examples/remote_logon.c

   Durations are milliseconds. A kt function that fails returns a negative error code; one that
   succeeds returns 0, a count or a handle. A failed step is written to the session's log and
   the script hangs up. */
#include <kt.h>

#define PHONE_NUMBER    "555-0142"
#define USER_NAME       "operator"
#define REPORT_COMMAND  "cat reports/daily.txt"
#define CAPTURE_FILE    "daily_report.txt"
#define CONNECT_MS      60000
#define PROMPT_MS       30000
#define PROMPT_QUIET_MS 300
#define REPORT_QUIET_MS 3000
#define CHECK_ONCE      0
#define EXACT           0
#define CAPTURE_NEW     0
#define TYPING_DELAY    -1

long session;
char password[32];
char message[80];

/* Writes a failed step to the session's log; non-zero when 'status' is an error. */
int failed(step, status)
char *step;
int status;
{
  if (status >= 0) return 0;
  sprintf(message, "remote_logon: step '%s' failed with error %d", step, status);
  ktWriteLogEntry(session, message);
  return 1;
}

int wait_for(prompt)
char *prompt;
{
  return failed(prompt, ktWaitForPrompt(session, PROMPT_QUIET_MS, prompt, PROMPT_MS, EXACT));
}

/* Types 'text' and a carriage return (sent as the session's line end) to the remote system. */
int send_line(text)
char *text;
{
  if (failed("send", ktTypeText(session, text, TYPING_DELAY))) return 1;
  return failed("send", ktTypeText(session, "\r", TYPING_DELAY));
}

void main()
{
  if (failed("start", ktInitialize())) goto done;
  session = ktGetSession(KT_SESSION_CURRENT);
  /* The password stays with the host's session data, not in the script. */
  if (failed("password", ktGetSessionDataString(session, "Password", password, sizeof password)))
    goto done;

  /* Dialing goes on in the background (KT_PENDING) until the connection is made. */
  if (failed("dial", ktConnectAndDial(session, PHONE_NUMBER, CHECK_ONCE))) goto done;
  if (failed("connect", ktWaitForConnection(session, KT_ST_CONNECTED, CONNECT_MS))) goto hang_up;
  if (wait_for("login: ")) goto hang_up;
  if (send_line(USER_NAME)) goto hang_up;
  if (wait_for("Password: ")) goto hang_up;
  if (send_line(password)) goto hang_up;
  if (wait_for("$ ")) goto hang_up;

  if (failed("capture", ktCaptureBegin(session, CAPTURE_FILE, CAPTURE_NEW))) goto log_off;
  if (send_line(REPORT_COMMAND) == 0) {
    /* the report is complete when the remote side has been quiet for a while */
    failed("report", ktWaitForLull(session, REPORT_QUIET_MS, PROMPT_MS));
  }
  ktCaptureControl(session, KT_CAP_STOP);

log_off:
  send_line("exit");
  failed("log off", ktWaitForString(session, "logout", PROMPT_MS, EXACT));
hang_up:
  ktDisconnectSession(session);
done:
  ktTerminate(KT_TERM_ORDERLY, 0);
}
