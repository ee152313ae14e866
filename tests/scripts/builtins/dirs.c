/* Directories and drives: getcwd (into a buffer, too small a one, and a fresh block for a null
   one), mkdir/chdir/rmdir and their failures, searchenv finding a file in the current directory,
   and drives on a platform without drive letters. */
char cwd[512], here[512], found[260];
getcwd(cwd, 512) - cwd + cwd[0] /* expect: 47 */
getcwd(here, strlen(cwd)) + getcwd(here, strlen(cwd) + 1) - here + strcmp(here, cwd) + strcmp(getcwd(0, 0), cwd) /* expect: 0 */
/* a fresh block holds the path and its NUL, or 'size' bytes when that is more */
getcwd(0, 0) - malloc(1) + strlen(cwd) + getcwd(0, 600) - malloc(1) /* expect: -601 */
mkdir("dirs_tmp") * 10 + mkdir("dirs_tmp") + chdir("dirs_tmp") /* expect: -1 */
getcwd(here, 512) - here + strncmp(here, cwd, strlen(cwd)) + strlen(here) - strlen(cwd) /* expect: 9 */
fclose(fopen("inner.txt", "w")) + searchenv("inner.txt", "PATH", found) + strcmp(found, strcat(here, "/inner.txt")) /* expect: 0 */
searchenv("no_such_file.txt", "PATH", found) + strlen(found) /* expect: 0 */
searchenv("inner.txt", "OXEL_NO_SUCH_VARIABLE", found) + strcmp(found, here) /* expect: 0 */
chdir("..") * 10 + rmdir("dirs_tmp") /* expect: -1 */
remove("dirs_tmp/inner.txt") + rmdir("dirs_tmp") /* expect: 0 */
rmdir("dirs_tmp") + chdir("dirs_tmp") /* expect: -2 */
getcwd(here, 512) - here + strcmp(here, cwd) /* expect: 0 */
getdrive() * 100 + chdrv(0) + chdrv(3) + chdrv(32) /* expect: -3 */
void main() {}
