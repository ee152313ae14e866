/* download.c: logs on to the telnet daemon of the README (entry "daemon" of pb.ini), has the
   remote send a file with ZMODEM and receives it into the folder "downloads", then logs off.
   Run: oxel '[phonebook=pb.ini entry=daemon mode=unattended answers=answers.ini] download.c' */
#include <kt.h>

#define FILE_NAME "logon.c"
#define WAIT_MS   15000

long h;
char user[32];
char pass[32];

int give_up(what) char *what;
{
    ktWriteLogEntry(h, what);
    ktMessageBox(what, "Download failed", KT_MB_OK, 0, 10000, KT_ICON_ERROR);
    ktTerminate(KT_TERM_ORDERLY, 2);
    return 2;
}

int main()
{
    int r;
    char line[80];
    h = ktInitialize();
    if (h <= 0) give_up("no session: name an entry, as in [entry=daemon] download.c");
    ktSetLogFileName(h, "download.log");
    if (ktConnectSession(h, WAIT_MS) != KT_OK) give_up("cannot connect");
    if (ktGetSessionDataString(h, "User", user, sizeof(user)) <= 0) strcpy(user, "alice");
    if (ktWaitForPrompt(h, 300, "login: ", WAIT_MS, 0) < 0) give_up("no login prompt");
    ktTypeText(h, user, 0);
    ktTypeText(h, "\r", 0);
    if (ktWaitForPrompt(h, 300, "Password: ", WAIT_MS, 0) < 0) give_up("no password prompt");
    if (ktGetInput(pass, sizeof(pass), KT_IN_HIDDEN, "Password:", "Logon", 30000) < 0) give_up("no password");
    ktHideInput(h, 1);
    ktTypeText(h, pass, 0);
    ktTypeText(h, "\r", 0);
    ktHideInput(h, 0);
    if (ktWaitForPrompt(h, 300, "$ ", WAIT_MS, 0) < 0) give_up("logon refused");
    mkdir("downloads");
    ktSetXferDirectory(h, KT_DIR_DOWNLOAD, "downloads");
    ktSetXferProtocol(h, KT_XD_RECEIVE, KT_XP_ZMODEM);
    sprintf(line, "sz %s\r", FILE_NAME);
    ktTypeText(h, line, 0);
    r = ktXferReceive(h, 0, 60000);
    if (r != KT_OK) give_up("the download failed");
    ktWaitForLull(h, 500, WAIT_MS);
    ktTypeText(h, "exit\r", 0);
    ktWaitForConnection(h, KT_ST_IDLE, 5000);
    ktCloseSession(h);
    return 0;
}
