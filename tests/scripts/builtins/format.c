/* Formatted output and input: the conversions scripts use, widths and precisions from '*', %n,
   scanning into int, long, short, char arrays, double (%lf) and float (%f), and the counts and
   EOF results of sscanf and fscanf. */
char buf[80];
char word[16];
int i;
int n;
long l;
short h;
double d;
float f;
char c;
long fp;
sprintf(buf, "%d %5.2f %s %c %x %ld %%", -3, 3.14159, "abc", 65, 255, 123456L) /* expect: 26 */
strcmp(buf, "-3  3.14 abc A ff 123456 %") /* expect: 0 */
sprintf(buf, "[%*d|%-*d|%.*f|%*d]", 5, 42, 4, 7, 2, 2.71828, -3, 9) /* expect: 21 */
strcmp(buf, "[   42|7   |2.72|9  ]") /* expect: 0 */
sprintf(buf, "%.*f|%05d|%+d|% d", -1, 0.5, 42, 5, 5) /* expect: 20 */
strcmp(buf, "0.500000|00042|+5| 5") /* expect: 0 */
sprintf(buf, "%u %o %X %#x %hd %hhu", -1, 8, 48879, 255, 65537, 257) /* expect: 27 */
strcmp(buf, "4294967295 10 BEEF 0xff 1 1") /* expect: 0 */
sprintf(buf, "%e|%g|%g|%.3s|%5.1s", 1234.5, 0.0001, 100000000.0, "abcdef", "xyz") /* expect: 35 */
strcmp(buf, "1.234500e+03|0.0001|1e+08|abc|    x") /* expect: 0 */
f = 1.5 /* expect: 1.5 */
c = 'q' /* expect: 113 */
sprintf(buf, "%f %c %s %p", f, c, 0, buf) /* expect: 26 */
strcmp(buf, "1.500000 q (null) 00010000") /* expect: 0 */
sprintf(buf, "abc%ndef%hn", &i, &h) /* expect: 6 */
i * 10 + h /* expect: 36 */
sprintf(buf, "%y%d|100%", 7) /* expect: 8 */
strcmp(buf, "%y7|100%") /* expect: 0 */
sscanf("12 -7 3.25 0.5 word x", "%d %ld %lf %f %s %c", &i, &l, &d, &f, word, &c) /* expect: 6 */
i + l /* expect: 5 */
d + f /* expect: 3.75 */
strcmp(word, "word") + c /* expect: 120 */
sscanf("70000", "%hd", &h) /* expect: 1 */
h /* expect: 4464 */
sscanf("abcdef", "%3s%n", word, &n) /* expect: 1 */
strcmp(word, "abc") + n /* expect: 3 */
sscanf("key = 0x1F;", "%s = %i;", word, &i) /* expect: 2 */
i /* expect: 31 */
sscanf("a,b;c", "%[^,],%[^;]", buf, word) /* expect: 2 */
strcmp(word, "b") /* expect: 0 */
sscanf("10 20", "%*d %d", &i) /* expect: 1 */
i /* expect: 20 */
sscanf("100%", "%d%%", &i) /* expect: 1 */
sscanf("12abc", "%d%d", &i, &n) /* expect: 1 */
sscanf("abc", "%d", &i) + sscanf("x", "y%d", &i) /* expect: 0 */
sscanf("", "%d", &i) /* expect: -1 */
sscanf("   ", "%d", &i) /* expect: -1 */
(fp = tmpfile()) > 0 /* expect: 1 */
fprintf(fp, "%d %s %5.1f\n%d\n", 7, "seven", 7.75, -1) /* expect: 17 */
fseek(fp, 0, 0) /* expect: 0 */
fscanf(fp, "%d %s %lf", &i, word, &d) /* expect: 3 */
strcmp(word, "seven") + i /* expect: 7 */
d /* expect: 7.8 */
fscanf(fp, "%d", &i) /* expect: 1 */
i /* expect: -1 */
fscanf(fp, "%d", &i) /* expect: -1 */
fscanf(fp, "%s", word) /* expect: -1 */
fclose(fp) /* expect: 0 */
/* Widths and precisions cost no more than the output: into the arena, what cannot fit is refused
   at once (102); %g's precision beyond a double's digits changes nothing; precision is no
   digits for inf; to a stream, large widths and precisions are written in pieces. */
sprintf(buf, "%*d|", 2000000000, 1) /* expect error 102: Memory overflow */ /* expect: 0 */
sprintf(buf, "%2000000000d|", 1) /* expect error 102: Memory overflow */ /* expect: 0 */
sprintf(buf, "%.2000000000f|", 1.5) /* expect error 102: Memory overflow */ /* expect: 0 */
sprintf(buf, "%.*f|%.2000000000e", 3, 1.0 / 0, -1.0 / 0) /* expect: 8 */
strcmp(buf, "inf|-inf") /* expect: 0 */
int exact_tenths()
{
    int i, n;
    n = 0;
    for (i = 0; i < 100; i++) n = n + sprintf(buf, "%.2000000000g", 0.1);
    return n;
}
exact_tenths() /* expect: 5700 */
strcmp(buf, "0.1000000000000000055511151231257827021181583404541015625") /* expect: 0 */
int at(n) long n;
{
    fseek(fp, n, 0);
    return fgetc(fp);
}
(fp = tmpfile()) > 0 /* expect: 1 */
fprintf(fp, "%0*.*f|%-*x|%+.*d|%#.*g", 5000, 1200, -0.5, 4100, 255, 4200, 7, 5000, 0.5) /* expect: 18306 */
at(0) * 1000000 + at(1) * 10000 + at(3797) * 100 + at(3798) /* expect: 45484848 */
at(3799) * 10000 + at(3800) * 100 + at(4999) /* expect: 465348 */
at(5000) * 1000000 + at(5001) * 10000 + at(5003) * 100 + at(9101) /* expect: 125023324 */
at(9102) * 1000000 + at(9103) * 10000 + at(13302) * 100 + at(13303) /* expect: 43485624 */
at(13305) * 10000 + at(13306) * 100 + at(18305) /* expect: 465348 */
at(18306) /* expect: -1 */
fseek(fp, 0, 2) /* expect: 0 */
fprintf(fp, "%*d", 10000000, 7) /* expect: 10000000 */
at(18306) * 100 + at(10018305) /* expect: 3255 */
fclose(fp) /* expect: 0 */
void main() {}
