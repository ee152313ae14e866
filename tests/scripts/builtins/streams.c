/* Streams: a text file written and read back, fgets at the end of the file and on a line longer
   than the buffer, fgetc/ungetc/feof, fread/fwrite of binary data, ftell/fseek, tmpfile,
   remove/rename, and handles that were never opened or are closed. */
char line[8];
char block[6];
long f;
long g;
(f = fopen("streams_a.tmp", "w")) > 0 /* expect: 1 */
fputs("first\nsecond line\n", f) /* expect: 0 */
fputc('x', f) + fputc(256 + 'y', f) /* expect: 241 */
fclose(f) /* expect: 0 */
fopen("streams_a.tmp", "rw") + fopen("streams_a.tmp", "rbb") + fopen("streams_a.tmp", "rbt") /* expect: 0 */
fopen("streams_a.tmp", "") + fopen("streams_missing.tmp", "r") + fopen(".", "r") /* expect: 0 */
(f = fopen("streams_a.tmp", "rt")) > 0 /* expect: 1 */
/* fgets keeps the line feed, splits long lines, gives 0 at the end and leaves the buffer alone */
fgets(line, 8, f) - line + strcmp(line, "first\n") /* expect: 0 */
fgets(line, 8, f) - line + strcmp(line, "second ") /* expect: 0 */
ftell(f) /* expect: 13 */
fgets(line, 8, f) - line + strcmp(line, "line\n") /* expect: 0 */
fgets(line, 8, f) - line + strcmp(line, "xy") /* expect: 0 */
feof(f) /* expect: 1 */
fgets(line, 8, f) + strcmp(line, "xy") + fgets(line, 0, f) /* expect: 0 */
fgetc(f) /* expect: -1 */
fgets(line, 1, f) - line + line[0] /* expect: 0 */
fseek(f, 6, 0) + feof(f) /* expect: 0 */
fgetc(f) /* expect: 115 */
ftell(f) /* expect: 7 */
ungetc('S', f) /* expect: 83 */
fgetc(f) * 1000 + fgetc(f) /* expect: 83101 */
ungetc(-1, f) /* expect: -1 */
fseek(f, -2, 2) /* expect: 0 */
fgetc(f) /* expect: 120 */
fseek(f, -2, 1) /* expect: 0 */
fgetc(f) /* expect: 10 */
fseek(f, 0, 3) + fseek(f, -100, 0) /* expect: -2 */
fclose(f) /* expect: 0 */
/* binary data; "a" appends, "r+b" reads and writes */
(g = fopen("streams_b.tmp", "wb")) > 0 /* expect: 1 */
fwrite("ab\0cd", 1, 5, g) * 10 + fwrite("zz", 2, 1, g) + fwrite("zz", 0, 9, g) /* expect: 51 */
fclose(g) /* expect: 0 */
(g = fopen("streams_b.tmp", "ab")) > 0 /* expect: 1 */
fputs("!", g) + fflush(g) + fflush(0) + fclose(g) /* expect: 0 */
(g = fopen("streams_b.tmp", "r+b")) > 0 /* expect: 1 */
fread(block, 2, 3, g) /* expect: 3 */
block[2] + block[3] /* expect: 99 */
fread(block, 1, 6, g) /* expect: 2 */
block[0] + block[1] /* expect: 155 */
fread(block, 1, 6, g) /* expect: 0 */
feof(g) /* expect: 1 */
fseek(g, 0, 0) + fputc('A', g) + fseek(g, 0, 0) /* expect: 65 */
fgetc(g) /* expect: 65 */
fclose(g) /* expect: 0 */
(f = tmpfile()) > 0 /* expect: 1 */
fputs("tmp", f) /* expect: 0 */
ftell(f) /* expect: 3 */
fseek(f, 0, 0) + fgets(line, 8, f) - line + strcmp(line, "tmp") /* expect: 0 */
fclose(f) /* expect: 0 */
/* a closed handle: every row fails as in C and nothing changes */
strcpy(line, "keep") /* expect: 65536 */
fclose(f) + fgetc(f) + fputc('x', f) + fputs("x", f) + fflush(f) + ungetc('a', f) /* expect: -6 */
fseek(f, 0, 0) + ftell(f) + fprintf(f, "%d", 1) + fscanf(f, "%d", &g) /* expect: -4 */
fgets(line, 8, f) + fread(line, 1, 4, f) + fwrite(line, 1, 4, f) + feof(f) /* expect: 0 */
strcmp(line, "keep") /* expect: 0 */
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
fgetc(f) /* expect: 112 */
fputc('Q', f) /* expect: 81 */
fgetc(f) /* expect: -1 */
fputs("RS", f) + fseek(f, 0, 0) /* expect: 0 */
fgets(line, 8, f) - line + strcmp(line, "pQRS") /* expect: 0 */
fclose(f) + remove("streams_d.tmp") /* expect: 0 */
/* rename never replaces a file; remove takes files only */
rename("streams_a.tmp", "streams_b.tmp") /* expect: -1 */
rename("streams_a.tmp", "streams_c.tmp") + fopen("streams_a.tmp", "r") /* expect: 0 */
remove("streams_a.tmp") + remove(".") /* expect: -2 */
remove("streams_c.tmp") + remove("streams_b.tmp") /* expect: 0 */
void main() {}
