/* Streams: a text file written and read back, fgets at the end of the file and on a line longer
   than the buffer, fgetc/ungetc/feof, fread/fwrite of binary data, ftell/fseek, tmpfile,
   remove/rename, modes, and handles that were never opened or are closed. */
char line[8], block[6];
long f, g;
(f = fopen("streams_a.tmp", "w")) > 0 /* expect: 1 */
fputs("first\nsecond line\n", f) + fputc('x', f) + fputc(256 + 'y', f) + fclose(f) /* expect: 241 */
fopen("streams_a.tmp", "rw") + fopen("streams_a.tmp", "rbb") + fopen("streams_a.tmp", "rbt") /* expect: 0 */
fopen("streams_a.tmp", "") + fopen("streams_missing.tmp", "r") + fopen(".", "r") /* expect: 0 */
(f = fopen("streams_a.tmp", "rt")) > 0 /* expect: 1 */
/* fgets keeps the line feed, splits long lines, gives 0 at the end and leaves the buffer alone */
fgets(line, 8, f) - line + strcmp(line, "first\n") + fgets(line, 8, f) - line + strcmp(line, "second ") /* expect: 0 */
ftell(f) /* expect: 13 */
fgets(line, 8, f) - line + strcmp(line, "line\n") + fgets(line, 8, f) - line + strcmp(line, "xy") /* expect: 0 */
feof(f) * 100 + fgets(line, 8, f) + strcmp(line, "xy") + fgets(line, 0, f) + fgetc(f) * 10 /* expect: 90 */
fgets(line, 1, f) - line + line[0] + fseek(f, 6, 0) + feof(f) /* expect: 0 */
fgetc(f) * 100 + ftell(f) /* expect: 11507 */
ungetc('S', f) * 1000000 + fgetc(f) * 1000 + fgetc(f) /* expect: 83083101 */
ungetc(-1, f) * 100 + fseek(f, -2, 2) + fgetc(f) /* expect: 20 */
fseek(f, -2, 1) + fgetc(f) /* expect: 10 */
fseek(f, 0, 3) + fseek(f, -100, 0) + fclose(f) /* expect: -2 */
/* binary data; "a" appends, "r+b" reads and writes */
(g = fopen("streams_b.tmp", "wb")) > 0 /* expect: 1 */
fwrite("ab\0cd", 1, 5, g) * 10 + fwrite("zz", 2, 1, g) + fwrite("zz", 0, 9, g) + fclose(g) /* expect: 51 */
(g = fopen("streams_b.tmp", "ab")) > 0 /* expect: 1 */
fputs("!", g) + fflush(g) + fflush(0) + fclose(g) /* expect: 0 */
(g = fopen("streams_b.tmp", "r+b")) > 0 /* expect: 1 */
fread(block, 2, 3, g) * 1000 + block[2] + block[3] /* expect: 3099 */
fread(block, 1, 6, g) * 1000 + block[0] + block[1] /* expect: 2155 */
fread(block, 1, 6, g) * 10 + feof(g) /* expect: 1 */
fseek(g, 0, 0) + fputc('A', g) + fseek(g, 0, 0) + fgetc(g) + fclose(g) /* expect: 130 */
(f = tmpfile()) > 0 /* expect: 1 */
fputs("tmp", f) + ftell(f) /* expect: 3 */
fseek(f, 0, 0) + fgets(line, 8, f) - line + strcmp(line, "tmp") + fclose(f) /* expect: 0 */
/* a closed handle: every row fails as in C and nothing changes */
strcpy(line, "keep") - line /* expect: 0 */
fclose(f) + fgetc(f) + fputc('x', f) + fputs("x", f) + fflush(f) + ungetc('a', f) /* expect: -6 */
fseek(f, 0, 0) + ftell(f) + fprintf(f, "%d", 1) + fscanf(f, "%d", &g) /* expect: -4 */
fgets(line, 8, f) + fread(line, 1, 4, f) + fwrite(line, 1, 4, f) + feof(f) + strcmp(line, "keep") /* expect: 0 */
fclose(0) + fgetc(12345) + fgetc(-3) /* expect: -3 */
/* a stream goes only the ways its mode lets it; an update stream switches between reading and
   writing without the fflush or fseek C asks for in between */
(f = fopen("streams_d.tmp", "w")) > 0 /* expect: 1 */
fputs("p", f) + ungetc('a', f) + fgetc(f) + fread(line, 1, 1, f) /* expect: -2 */
fputc('q', f) + fclose(f) /* expect: 113 */
(f = fopen("streams_d.tmp", "r")) > 0 /* expect: 1 */
fputc('x', f) + fputs("x", f) + fwrite("x", 1, 1, f) + fprintf(f, "x") /* expect: -3 */
fgetc(f) + fclose(f) /* expect: 112 */
(f = fopen("streams_d.tmp", "r+")) > 0 /* expect: 1 */
fgetc(f) * 1000000 + fputc('Q', f) * 1000 + fgetc(f) /* expect: 112080999 */
fputs("RS", f) + fseek(f, 0, 0) + fgets(line, 8, f) - line + strcmp(line, "pQRS") /* expect: 0 */
fclose(f) + remove("streams_d.tmp") /* expect: 0 */
/* rename never replaces a file; remove takes files only */
rename("streams_a.tmp", "streams_b.tmp") /* expect: -1 */
rename("streams_a.tmp", "streams_c.tmp") + fopen("streams_a.tmp", "r") /* expect: 0 */
remove("streams_a.tmp") + remove(".") /* expect: -2 */
remove("streams_c.tmp") + remove("streams_b.tmp") /* expect: 0 */
void main() {}
