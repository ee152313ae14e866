/* Directories and drives on Win32: the current directory starts with a drive letter and ':',
   paths are joined with '\', searchenv splits its variable on ';', and chdrv changes to the
   current directory of a drive that exists (under wine C: is the prefix's drive_c, Z: is '/'). */
char cwd[260];
char here[260];
char found[260];
int drive;
getcwd(cwd, 260) - cwd + cwd[1] * 1000 + cwd[2] /* expect: 58092 */
(drive = getdrive()) == toupper(cwd[0]) - 64 /* expect: 1 */
mkdir("drives_tmp") + chdir("drives_tmp") /* expect: 0 */
fclose(fopen("inner.txt", "w")) /* expect: 0 */
getcwd(here, 260) - here /* expect: 0 */
searchenv("inner.txt", "PATH", found) + strcmp(found, strcat(here, "\\inner.txt")) /* expect: 0 */
/* PATH lists the system directory first */
searchenv("kernel32.dll", "PATH", found) + stricmp(found, "C:\\windows\\system32\\kernel32.dll") /* expect: 0 */
remove("inner.txt") + chdir("..") + rmdir("drives_tmp") /* expect: 0 */
/* A drive root keeps its backslash; B: does not exist; drive numbers run from 1 to 31. */
chdrv(3) + getdrive() /* expect: 3 */
getcwd(here, 260) - here + strcmp(here, "C:\\") /* expect: 0 */
chdrv(2) + chdrv(0) + chdrv(32) + getdrive() /* expect: 0 */
chdrv(drive) + chdir(cwd) + strcmp(getcwd(here, 260), cwd) /* expect: 0 */
void main() {}
