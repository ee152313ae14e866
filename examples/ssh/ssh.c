/* ssh.c: logs on to a host with ssh on a pseudo-terminal session, runs two commands, keeps what
   they printed in ssh.txt, writes the screen's rows that hold text, and logs off.
   Run: oxel '[phonebook=pb.ini entry=myhost mode=unattended] ssh.c'
   The entry's Command is the ssh command line (see pb.ini). ssh logs on with a key, from ssh-agent
   or -i KEY: with BatchMode=yes it gives up instead of asking for a password. */
#include <kt.h>

#define PROMPT    "$ "
#define QUIET     300
#define WAIT_MS   20000
#define COLUMNS   80

long h;
long out;
char row_text[COLUMNS * 4 + 1];

int fail(what) char *what;
{
    fputs(what, out);
    fputs("\n", out);
    ktTerminate(KT_TERM_ORDERLY, 1);
    return 1;
}

/* Types a command line and waits for the prompt that follows its output. */
int command(line) char *line;
{
    ktTypeText(h, line, 0);
    ktTypeText(h, "\r", 0);
    if (ktWaitForPrompt(h, QUIET, PROMPT, WAIT_MS, 0) < 0) fail("a command did not finish");
    return 0;
}

/* The text of a row without its trailing blanks. */
int read_row(row) int row;
{
    int n;
    n = ktGetTextFromScreen(h, row, 0, COLUMNS, row_text);
    while (n > 0) {
        if (row_text[n - 1] != 32) break;
        n--;
    }
    row_text[n] = 0;
    return n;
}

int main()
{
    int row;
    int rows;
    int status;
    out = fopen("/dev/stdout", "w");
    h = ktInitialize();
    if (h <= 0) fail("no session: name an entry, as in [entry=myhost] ssh.c");
    if (ktConnectSession(h, WAIT_MS) != KT_OK) fail("cannot start ssh");
    /* Whatever the remote shell's prompt is, once the logon is quiet the script sets its own. */
    if (ktWaitForLull(h, 1000, WAIT_MS) < 0) fail("the logon did not end");
    if (ktGetConnectionStatus(h) != KT_ST_CONNECTED) fail("ssh ended: see the screen of a manual run");
    command("PS1='$ '");
    ktCaptureBegin(h, "ssh.txt", KT_CAP_TEXT);
    command("uname -sr");
    command("echo \"logged on as $(id -un), terminal $TERM\"");
    ktCaptureControl(h, KT_CAP_STOP);
    rows = 0;
    ktGetRuntimeValue(h, KT_RV_ROWS, 0, 0, &rows);
    fputs("The screen:\n", out);
    for (row = 0; row < rows; row++) {
        if (read_row(row) > 0) {
            fputs(row_text, out);
            fputs("\n", out);
        }
    }
    ktTypeText(h, "exit\r", 0);
    ktWaitForConnection(h, KT_ST_IDLE, WAIT_MS);
    ktGetRuntimeValue(h, KT_RV_CHILD_STATUS, 0, 0, &status);
    ktCloseSession(h);
    fclose(out);
    return status;
}
