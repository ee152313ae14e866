/* remote_logon.c: logs on to a remote system through the host product, waits for its prompts,
   captures the day's report to a file and hangs up.

   The host product starts it as "[session] remote_logon.c"; to try it on POSIX, name a host
   automation library:

       oxel --host=PATH/librv32auto.so examples/remote_logon.c

   Every kt function returns 0 when it succeeds and an error code otherwise. A failed step is
   written to the host's log and the script hangs up. */

#define PHONE_NUMBER   "555-0142"
#define USER_NAME      "operator"
#define REPORT_COMMAND "cat reports/daily.txt"
#define CAPTURE_FILE   "daily_report.txt"
#define DIAL_SECONDS   60
#define PROMPT_SECONDS 30
#define QUIET_SECONDS  3
#define CAPTURE_NEW    0
#define CAPTURE_STOP   0

long session;
char password[32];
char message[80];

/* Writes a failed step to the host's log; non-zero when 'status' is an error. */
int failed(step, status)
char *step;
int status;
{
  if (status == 0) return 0;
  sprintf(message, "remote_logon: step '%s' failed with error %d", step, status);
  ktWriteLogEntry(session, message);
  return 1;
}

int wait_for(prompt)
char *prompt;
{
  return failed(prompt, ktWaitForPrompt(session, PROMPT_SECONDS, prompt, strlen(prompt), 0));
}

/* Types 'text' and a carriage return to the remote system. */
int send_line(text)
char *text;
{
  if (failed("send", ktTypeText(session, text, strlen(text)))) return 1;
  return failed("send", ktTypeText(session, "\r", 1));
}

void main()
{
  ktInitialize();
  session = ktGetSession(0);
  /* The password stays with the host's session data, not in the script. */
  if (failed("password", ktGetSessionDataString(session, "Password", password, sizeof password)))
    goto done;

  if (failed("dial", ktConnectAndDial(session, PHONE_NUMBER, 0))) goto done;
  if (failed("connect", ktWaitForConnection(session, DIAL_SECONDS, 0))) goto hang_up;
  if (wait_for("login:")) goto hang_up;
  if (send_line(USER_NAME)) goto hang_up;
  if (wait_for("Password:")) goto hang_up;
  if (send_line(password)) goto hang_up;
  if (wait_for("$ ")) goto hang_up;

  if (failed("capture", ktCaptureBegin(session, CAPTURE_FILE, CAPTURE_NEW))) goto log_off;
  if (send_line(REPORT_COMMAND) == 0) {
    /* the report is complete when the remote side has been quiet for a while */
    failed("report", ktWaitForLull(session, QUIET_SECONDS, PROMPT_SECONDS));
  }
  ktCaptureControl(session, CAPTURE_STOP);

log_off:
  send_line("exit");
  ktWaitForString(session, "logout", PROMPT_SECONDS, 0);
hang_up:
  ktDisconnectSession(session);
done:
  ktTerminate(session, 0);
}
