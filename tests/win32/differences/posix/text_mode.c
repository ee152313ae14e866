/* Streams on POSIX have no text mode: "t" and "b" change nothing, a line feed is one byte. */
char line[20];
long f;
fputs("ab\ncd\n", f = fopen("text_mode.tmp", "w")) + fclose(f) /* expect: 0 */
fread(line, 1, 20, f = fopen("text_mode.tmp", "rb")) + fclose(f) /* expect: 6 */
line[2] * 1000 + line[3] /* expect: 10099 */
fgets(line, 20, f = fopen("text_mode.tmp", "r")) - line + strcmp(line, "ab\n") /* expect: 0 */
ftell(f) + fclose(f) /* expect: 3 */
fputs("ab\ncd\n", f = fopen("text_mode.tmp", "wb")) + fclose(f) /* expect: 0 */
fread(line, 1, 20, f = fopen("text_mode.tmp", "rt")) + fclose(f) /* expect: 6 */
remove("text_mode.tmp") /* expect: 0 */
void main() {}
