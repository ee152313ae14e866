/* Text-mode streams on Win32 write each line feed as CR LF and read CR LF back as a line feed;
   binary mode ("b") keeps the bytes. */
char line[20];
long f;
fputs("ab\ncd\n", f = fopen("text_mode.tmp", "w")) + fclose(f) /* expect: 0 */
fread(line, 1, 20, f = fopen("text_mode.tmp", "rb")) + fclose(f) /* expect: 8 */
line[2] * 1000 + line[3] /* expect: 13010 */
fgets(line, 20, f = fopen("text_mode.tmp", "r")) - line + strcmp(line, "ab\n") /* expect: 0 */
ftell(f) + fclose(f) /* expect: 4 */
fputs("ab\ncd\n", f = fopen("text_mode.tmp", "wb")) + fclose(f) /* expect: 0 */
fread(line, 1, 20, f = fopen("text_mode.tmp", "rt")) + fclose(f) /* expect: 6 */
remove("text_mode.tmp") /* expect: 0 */
void main() {}
