/* Formatted output and input: the conversions scripts use, '*' widths and precisions, %n, scanning
   into int, long, short, char arrays, double (%lf) and float (%f), sscanf/fscanf counts and EOF; huge
   widths and precisions. made(n, s) gives the count n when buf holds s, else -1. */
char buf[80], word[16], c;
int i, n;
long l, fp;
short h;
double d;
float f;
int made(n, s) int n; char *s; { if (strcmp(buf, s)) return -1; return n; }
made(sprintf(buf, "%d %5.2f %s %c %x %ld %%", -3, 3.14159, "abc", 65, 255, 123456L), "-3  3.14 abc A ff 123456 %") /* expect: 26 */
made(sprintf(buf, "[%*d|%-*d|%.*f|%*d]", 5, 42, 4, 7, 2, 2.71828, -3, 9), "[   42|7   |2.72|9  ]") /* expect: 21 */
made(sprintf(buf, "%.*f|%05d|%+d|% d", -1, 0.5, 42, 5, 5), "0.500000|00042|+5| 5") /* expect: 20 */
made(sprintf(buf, "%u %o %X %#x %hd %hhu", -1, 8, 48879, 255, 65537, 257), "4294967295 10 BEEF 0xff 1 1") /* expect: 27 */
made(sprintf(buf, "%e|%g|%g|%.3s|%5.1s", 1234.5, 0.0001, 100000000.0, "abcdef", "xyz"), "1.234500e+03|0.0001|1e+08|abc|    x") /* expect: 35 */
(f = 1.5) + (c = 'q') /* expect: 114.5 */
made(sprintf(buf, "%f %c %s %p", f, c, 0, buf), "1.500000 q (null) 00010000") /* expect: 26 */
sprintf(buf, "abc%ndef%hn", &i, &h) * 100 + i * 10 + h /* expect: 636 */
made(sprintf(buf, "%y%d|100%", 7), "%y7|100%") /* expect: 8 */
sscanf("12 -7 3.25 0.5 word x", "%d %ld %lf %f %s %c", &i, &l, &d, &f, word, &c) /* expect: 6 */
(i + l) * 1000 + (d + f) * 100 + strcmp(word, "word") + c /* expect: 5495 */
sscanf("70000", "%hd", &h) * 10000 + h /* expect: 14464 */
sscanf("abcdef", "%3s%n", word, &n) * 10 + strcmp(word, "abc") + n /* expect: 13 */
sscanf("key = 0x1F;", "%s = %i;", word, &i) * 100 + i /* expect: 231 */
sscanf("a,b;c", "%[^,],%[^;]", buf, word) * 10 + strcmp(word, "b") + strcmp(buf, "a") /* expect: 20 */
sscanf("10 20", "%*d %d", &i) * 100 + i /* expect: 120 */
sscanf("100%", "%d%%", &i) * 10 + sscanf("12abc", "%d%d", &i, &n) /* expect: 11 */
sscanf("abc", "%d", &i) + sscanf("x", "y%d", &i) /* expect: 0 */
sscanf("", "%d", &i) + sscanf("   ", "%d", &i) /* expect: -2 */
(fp = tmpfile()) > 0 /* expect: 1 */
fprintf(fp, "%d %s %5.1f\n%d\n", 7, "seven", 7.75, -1) + fseek(fp, 0, 0) /* expect: 17 */
fscanf(fp, "%d %s %lf", &i, word, &d) * 10 + strcmp(word, "seven") + i /* expect: 37 */
d /* expect: 7.8 */
fscanf(fp, "%d", &i) * 10 + i /* expect: 9 */
fscanf(fp, "%d", &i) + fscanf(fp, "%s", word) + fclose(fp) /* expect: -2 */
/* Widths and precisions cost no more than the output: into the arena, what cannot fit is refused
   at once (102), digits that run past the arena's end too; %g's precision beyond a double's digits changes nothing; precision is no
   digits for inf; to a stream, large widths and precisions are written in pieces. */
sprintf(buf, "%*d|", 2000000000, 1) /* expect error 102: Memory overflow */ /* expect: 0 */
sprintf(buf, "%2000000000d|", 1) /* expect error 102: Memory overflow */ /* expect: 0 */
sprintf(buf, "%.2000000000f|", 1.5) /* expect error 102: Memory overflow */ /* expect: 0 */
sprintf(0x13ffc, "%d", 123) * 10 + sprintf(0x13ffc, "%d", -12) /* expect: 33 */
sprintf(0x13ffc, "%d", 1234) /* expect error 102: Memory overflow */ /* expect: 0 */
made(sprintf(buf, "%d", -2147483647 - 1), "-2147483648") * 10 + made(sprintf(buf, "%d", 0), "0") /* expect: 111 */
made(sprintf(buf, "%.*f|%.2000000000e", 3, 1.0 / 0, -1.0 / 0), "inf|-inf") /* expect: 8 */
int exact_tenths() { int i, n; n = 0; for (i = 0; i < 100; i++) n = n + sprintf(buf, "%.2000000000g", 0.1); return n; }
made(exact_tenths(), "0.1000000000000000055511151231257827021181583404541015625") /* expect: 5700 */
int at(n) long n; { fseek(fp, n, 0); return fgetc(fp); }
(fp = tmpfile()) > 0 /* expect: 1 */
fprintf(fp, "%0*.*f|%-*x|%+.*d|%#.*g", 5000, 1200, -0.5, 4100, 255, 4200, 7, 5000, 0.5) /* expect: 18306 */
at(0) * 1000000 + at(1) * 10000 + at(3797) * 100 + at(3798) /* expect: 45484848 */
at(3799) * 10000 + at(3800) * 100 + at(4999) /* expect: 465348 */
at(5000) * 1000000 + at(5001) * 10000 + at(5003) * 100 + at(9101) /* expect: 125023324 */
at(9102) * 1000000 + at(9103) * 10000 + at(13302) * 100 + at(13303) /* expect: 43485624 */
at(13305) * 10000 + at(13306) * 100 + at(18305) /* expect: 465348 */
at(18306) + fseek(fp, 0, 2) /* expect: -1 */
fprintf(fp, "%*d", 10000000, 7) /* expect: 10000000 */
at(18306) * 100 + at(10018305) + fclose(fp) /* expect: 3255 */
void main() {}
