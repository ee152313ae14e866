/* GetPrivateProfileString on profile.ini beside this script: names in any letter case, quotes
   and blanks around values, defaults, truncation with the count returned, and the NUL-separated
   lists of a section's keys and of the sections. */
char buf[100], small[8], *p;
int got(n, s) int n; char *s; { if (strcmp(buf, s)) return -1; return n; }
got(GetPrivateProfileString("modem", "PORT", "none", buf, 100, "./profile.ini"), "COM2") /* expect: 4 */
got(GetPrivateProfileString("Modem", "Init", "none", buf, 100, "./profile.ini"), "AT&F ") /* expect: 5 */
got(GetPrivateProfileString("Modem", "spaced key", "none", buf, 100, "./profile.ini"), "spaced value") /* expect: 12 */
got(GetPrivateProfileString("paths", "download", "none", buf, 100, "./profile.ini"), "C:\\dl") /* expect: 5 */
/* present but empty; a key from a second [modem] */
GetPrivateProfileString("Modem", "Empty", "none", buf, 100, "./profile.ini") /* expect: 0 */
GetPrivateProfileString("Modem", "NoEquals", "none", buf, 100, "./profile.ini") /* expect: 0 */
GetPrivateProfileString("Modem", "Extra", "none", buf, 100, "./profile.ini") /* expect: 1 */
/* missing: the default without its trailing blanks (a comment, a key before any section) */
got(GetPrivateProfileString("Modem", "Parity", "dflt   ", buf, 100, "./profile.ini"), "dflt") /* expect: 4 */
GetPrivateProfileString("Modem", "Parity", 0, buf, 100, "./profile.ini") /* expect: 0 */
GetPrivateProfileString("Modem", ";Commented", "none", buf, 100, "./profile.ini") /* expect: 4 */
GetPrivateProfileString("", "Orphan", "none", buf, 100, "./profile.ini") /* expect: 4 */
GetPrivateProfileString("Modem", "Port", "dflt", buf, 100, "./no_such.ini") /* expect: 4 */
/* truncation to size - 1 characters; size 0 writes nothing */
strcpy(small, "xxxxxxx") - small /* expect: 0 */
GetPrivateProfileString("Modem", "Port", "", small, 3, "./profile.ini") * 10000 + strcmp(small, "CO") * 1000 + small[3] /* expect: 20120 */
GetPrivateProfileString("Modem", "Port", "", small, 1, "./profile.ini") /* expect: 0 */
GetPrivateProfileString("Modem", "Port", "", small, 0, "./profile.ini") + small[0] + small[1] /* expect: 79 */
/* a null key lists the keys: each with its NUL, one NUL more; a cut list ends with two NULs */
GetPrivateProfileString("Modem", 0, "none", buf, 100, "./profile.ini") /* expect: 54 */
strcmp(buf, "Port") + strcmp(buf + 5, "Speed") + strcmp(buf + 39, "NoEquals") + strcmp(buf + 48, "Extra") + buf[54] /* expect: 0 */
strcpy(small, "xxxxxxx") - small + GetPrivateProfileString("Modem", 0, "none", small, 8, "./profile.ini") /* expect: 6 */
strcmp(small, "Port") + small[5] + small[6] + small[7] /* expect: 83 */
/* a null section lists each section once; missing sections and files give an empty list */
GetPrivateProfileString(0, "Port", "none", buf, 100, "./profile.ini") /* expect: 12 */
strcmp(buf, "Modem") + strcmp(buf + 6, "Paths") + buf[12] /* expect: 0 */
GetPrivateProfileString("Nowhere", 0, "none", buf, 100, "./profile.ini") + buf[0] + buf[1] /* expect: 0 */
void main() {}
