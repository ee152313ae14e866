/* No built-in reads or writes outside the arena (65536 .. 81919): a source or destination outside it,
   a copy or output running past its end, an unterminated string, %n and %s targets outside it each
   report 102, give 0 and leave memory as it was. 'end': the arena's last four bytes; 'gone': beyond. */
char buf[16];
char *end;
char *gone;
int i;
long f;
end = buf + 16380 /* expect: 81916 */
gone = buf + 24464 /* expect: 90000 */
strcpy(buf, "safe") /* expect: 65536 */
strcpy(gone, "x") + strlen(12) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
memcpy(buf, gone, 4) + time(gone) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
strcmp(buf, "safe") /* expect: 0 */
/* past the end nothing is written, not even the part that fits */
strcpy(end, "abc") - end /* expect: 0 */
strcat(end, "d") + memset(end, 'z', 5) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
memmove(end, buf, -1) + strncpy(end, "ab", 5) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
sprintf(end, "%s", "abcd") + itoa(-1234, end, 10) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
strftime(end, 100, "%Y-%m", buf) + getcwd(end, 512) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
GetPrivateProfileString("a", "b", "c", end, 8, "./profile.ini") + GetPrivateProfileString("a", "b", "c", buf, 8, gone) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
strcmp(end, "abc") /* expect: 0 */
sprintf(end, "%d", 123) /* expect: 3 */
strcmp(itoa(-12, end, 10), "-12") /* expect: 0 */
/* an unterminated string; a precision or count limits what is read */
memset(end, 'x', 4) - end /* expect: 0 */
strlen(end) + strcpy(buf, end) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
atoi(end) + sprintf(buf, "%s", end) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
strcmp(buf, "safe") /* expect: 0 */
sprintf(buf, "%.4s|", end) /* expect: 5 */
strcmp(buf, "xxxx|") + strncmp(end, "xxxxy", 4) /* expect: 0 */
/* %n and scan targets outside the arena or too close to its end */
sprintf(buf, "ab%n", gone) + sprintf(buf, "ab%n", end + 1) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
strcmp(buf, "xxxx|") /* expect: 0 */
sscanf("word", "%s", gone) + sscanf("1 2", "%d %n", &i, gone) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
sscanf("abcd", "%s", end) + sscanf("abcde", "%4c", end + 1) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
sscanf("1.5", "%lf", end) /* expect: 0 */ /* expect error 102: Memory overflow */
sscanf("abc", "%s", end) + strcmp(end, "abc") /* expect: 1 */
/* buffers reaching past the end are refused before any input is taken */
(f = tmpfile()) > 0 /* expect: 1 */
fputs("line one\n", f) + fseek(f, 0, 0) /* expect: 0 */
fgets(end, 10, f) + fread(end, 1, 5, f) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
fread(buf, 65536, 65537, f) /* expect: 0 */ /* expect error 102: Memory overflow */
fgetc(f) + fclose(f) /* expect: 108 */
/* realloc of a wild pointer; more argument words than the call area holds (no call is made) */
realloc(gone, 4) /* expect: 0 */ /* expect error 102: Memory overflow */
rename("a", gone) + rename(gone, "b") /* expect: -2 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
sprintf(buf, "x", 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0, 13.0, 14.0, 15.0, 16.0) /* expect: 0 */ /* expect error 102: Memory overflow */
strcmp(buf, "xxxx|") /* expect: 0 */
void main() {}
