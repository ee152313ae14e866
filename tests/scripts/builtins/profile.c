/* GetPrivateProfileString on profile.ini beside this script: names in any letter case, quotes
   and blanks around values, defaults, truncation with the count returned, and the NUL-separated
   lists of a section's keys and of the sections. */
char buf[100];
char small[8];
char *p;
GetPrivateProfileString("modem", "PORT", "none", buf, 100, "./profile.ini") /* expect: 4 */
strcmp(buf, "COM2") /* expect: 0 */
GetPrivateProfileString("Modem", "Init", "none", buf, 100, "./profile.ini") /* expect: 5 */
strcmp(buf, "AT&F ") /* expect: 0 */
GetPrivateProfileString("Modem", "spaced key", "none", buf, 100, "./profile.ini") /* expect: 12 */
strcmp(buf, "spaced value") /* expect: 0 */
GetPrivateProfileString("paths", "download", "none", buf, 100, "./profile.ini") /* expect: 5 */
strcmp(buf, "C:\\dl") /* expect: 0 */
/* present but empty; a key from a second [modem] */
GetPrivateProfileString("Modem", "Empty", "none", buf, 100, "./profile.ini") /* expect: 0 */
GetPrivateProfileString("Modem", "NoEquals", "none", buf, 100, "./profile.ini") /* expect: 0 */
GetPrivateProfileString("Modem", "Extra", "none", buf, 100, "./profile.ini") /* expect: 1 */
/* missing: the default without its trailing blanks (a comment, a key before any section) */
GetPrivateProfileString("Modem", "Parity", "dflt   ", buf, 100, "./profile.ini") /* expect: 4 */
strcmp(buf, "dflt") /* expect: 0 */
GetPrivateProfileString("Modem", "Parity", 0, buf, 100, "./profile.ini") /* expect: 0 */
GetPrivateProfileString("Modem", ";Commented", "none", buf, 100, "./profile.ini") /* expect: 4 */
GetPrivateProfileString("", "Orphan", "none", buf, 100, "./profile.ini") /* expect: 4 */
GetPrivateProfileString("Modem", "Port", "dflt", buf, 100, "./no_such.ini") /* expect: 4 */
/* truncation to size - 1 characters; size 0 writes nothing */
strcpy(small, "xxxxxxx") /* expect: 65636 */
GetPrivateProfileString("Modem", "Port", "", small, 3, "./profile.ini") /* expect: 2 */
strcmp(small, "CO") * 1000 + small[3] /* expect: 120 */
GetPrivateProfileString("Modem", "Port", "", small, 1, "./profile.ini") /* expect: 0 */
GetPrivateProfileString("Modem", "Port", "", small, 0, "./profile.ini") + small[0] + small[1] /* expect: 79 */
/* a null key lists the keys: each with its NUL, one NUL more; a cut list ends with two NULs */
GetPrivateProfileString("Modem", 0, "none", buf, 100, "./profile.ini") /* expect: 54 */
strcmp(buf, "Port") + strcmp(buf + 5, "Speed") + strcmp(buf + 39, "NoEquals") /* expect: 0 */
strcmp(buf + 48, "Extra") + buf[54] /* expect: 0 */
strcpy(small, "xxxxxxx") /* expect: 65636 */
GetPrivateProfileString("Modem", 0, "none", small, 8, "./profile.ini") /* expect: 6 */
strcmp(small, "Port") + small[5] + small[6] + small[7] /* expect: 83 */
/* a null section lists each section once; missing sections and files give an empty list */
GetPrivateProfileString(0, "Port", "none", buf, 100, "./profile.ini") /* expect: 12 */
strcmp(buf, "Modem") + strcmp(buf + 6, "Paths") + buf[12] /* expect: 0 */
GetPrivateProfileString("Nowhere", 0, "none", buf, 100, "./profile.ini") + buf[0] + buf[1] /* expect: 0 */
void main() {}
