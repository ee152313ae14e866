/* logon.c: log on, capture a listing into listing.txt, log off.
   Run from this folder, with the test server listening on 127.0.0.1:2323
   (python3 ../../tests/host/login_server.py --port 2323):
       oxel '[phonebook=pb.ini entry=testhost mode=unattended answers=answers.ini] logon.c' */
#include <kt.h>

#define QUIET 300

long h;
char user[32];
char pass[32];

int give_up(what) char *what;
{
    char msg[80];
    sprintf(msg, "logon.c: %s", what);
    ktWriteLogEntry(h, msg);
    ktMessageBox(msg, "Logon failed", KT_MB_OK, 0, 10000, KT_ICON_ERROR);
    ktTerminate(KT_TERM_ORDERLY, 2);  /* hangs up, closes files, exit status 2 */
    return 2;
}

int main()
{
    int r;
    h = ktInitialize();
    if (h <= 0) h = ktOpenSession("testhost", 0);
    if (h <= 0) give_up("no session");
    ktSetLogFileName(h, "logon.log");
    if (ktConnectSession(h, 10000) != KT_OK) give_up("cannot connect");
    if (ktGetSessionDataString(h, "User", user, sizeof(user)) <= 0) strcpy(user, "alice");
    if (ktWaitForPrompt(h, QUIET, "login: ", 15000, 0) < 0) give_up("no login prompt");
    ktTypeText(h, user, 0);
    ktTypeText(h, "\r", 0);
    if (ktWaitForPrompt(h, QUIET, "Password: ", 15000, 0) < 0) give_up("no password prompt");
    if (ktGetInput(pass, sizeof(pass), KT_IN_HIDDEN, "Password:", "Logon", 30000) < 0)
        give_up("no password given");
    ktHideInput(h, 1);
    ktTypeText(h, pass, 0);
    ktTypeText(h, "\r", 0);
    ktHideInput(h, 0);
    r = ktWaitForPrompt(h, QUIET, "$ |login: ", 15000, KT_WAIT_ALT);
    if (r != 0) give_up("logon refused");
    ktCaptureBegin(h, "listing.txt", 0);
    ktTypeText(h, "ls\r", 0);
    r = ktWaitForPrompt(h, QUIET, "$ ", 15000, 0);
    ktCaptureControl(h, KT_CAP_STOP);
    if (r < 0) give_up("ls did not finish");
    ktTypeText(h, "exit\r", 0);
    ktWaitForConnection(h, KT_ST_IDLE, 5000);
    ktDisconnectSession(h);
    ktCloseSession(h);
    return 0;
}
