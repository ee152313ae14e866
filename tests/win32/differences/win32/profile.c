/* GetPrivateProfileString on Win32 is Windows' own function: with a null file name it reads
   ravelto.ini in the Windows directory (under wine C:\windows), as it does for any bare file
   name; a name with a directory is a path from the current directory. */
char buf[100];
long f;
(f = fopen("C:\\windows\\ravelto.ini", "w")) > 0 /* expect: 1 */
fputs("[Modem]\nPort=COM3\n", f) + fclose(f) /* expect: 0 */
GetPrivateProfileString("Modem", "Port", "none", buf, 100, 0) + strcmp(buf, "COM3") /* expect: 4 */
GetPrivateProfileString("modem", "port", "none", buf, 100, "ravelto.ini") + strcmp(buf, "COM3") /* expect: 4 */
/* profile.ini next to this script is not found by its bare name, but by a path */
GetPrivateProfileString("Modem", "Port", "none", buf, 100, "profile.ini") + strcmp(buf, "none") /* expect: 4 */
GetPrivateProfileString("Modem", "Port", "none", buf, 100, ".\\profile.ini") + strcmp(buf, "COM7") /* expect: 4 */
remove("C:\\windows\\ravelto.ini") /* expect: 0 */
GetPrivateProfileString("Modem", "Port", "gone", buf, 100, 0) + strcmp(buf, "gone") /* expect: 4 */
void main() {}
