/* shell.c: drives a local shell on a pseudo-terminal: runs a command, waits for the shell's
   prompt, then reads the session's screen and writes its rows that hold text.
   Run: oxel examples/pty/shell.c */
#include <kt.h>

#define SHELL     "pty:env PS1='$ ' /bin/sh"
#define COMMAND   "clear; echo \"I am $(id -un) on $(uname -n), my terminal is $TERM\"; ls /\r"
#define PROMPT    "$ "
#define QUIET     200
#define WAIT_MS   10000
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
    out = fopen("/dev/stdout", "a");
    ktInitialize();
    h = ktOpenSession(SHELL, 0);
    if (h <= 0) fail("cannot open a session");
    if (ktConnectSession(h, WAIT_MS) != KT_OK) fail("cannot start the shell");
    if (ktWaitForPrompt(h, QUIET, PROMPT, WAIT_MS, 0) < 0) fail("no first prompt");
    ktTypeText(h, COMMAND, 0);
    if (ktWaitForPrompt(h, QUIET, PROMPT, WAIT_MS, 0) < 0) fail("the command did not finish");
    rows = 0;
    ktGetRuntimeValue(h, KT_RV_ROWS, 0, 0, &rows);
    fputs("The screen after the command:\n", out);
    for (row = 0; row < rows; row++) {
        if (read_row(row) > 0) {
            fputs(row_text, out);
            fputs("\n", out);
        }
    }
    ktTypeText(h, "exit\r", 0);
    ktWaitForConnection(h, KT_ST_IDLE, WAIT_MS);
    ktCloseSession(h);
    fclose(out);
    return 0;
}
