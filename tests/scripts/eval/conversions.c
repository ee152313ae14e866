/* Conversions: assignment stores and yields the right side converted to the left side's type
   (along a chain too, right to left); casts convert as C does; sizeof gives declared sizes. */
char c;
short sh;
int i;
unsigned char uc;
float f;
double d;
long l;
c = 300 /* expect: 44 */
c /* expect: 44 */
i = 2.9 /* expect: 2 */
i = -2.9 /* expect: -2 */
i = -0.5 /* expect: 0 */
l = 3000000000.0 /* expect: -1294967296 */
d = 7 /* expect: 7 */
d / 2 /* expect: 3.5 */
f = 1.5 /* expect: 1.5 */
f * 2 /* expect: 3 */
sh = 40000 /* expect: -25536 */
uc = -1 /* expect: 255 */
i = c = 200 /* expect: -56 */
d = i = 3.7 /* expect: 3 */
i = d = 2.5 /* expect: 2 */
d /* expect: 2.5 */
c = sh = 65 + 256 * 3 /* expect: 65 */
sh /* expect: 833 */
(i = 4) * 2 /* expect: 8 */
i + (i = 10) /* expect: 14 */
(char)300 /* expect: 44 */
(char)255 + 1 /* expect: 0 */
(unsigned char)-1 /* expect: 255 */
(short)65535 /* expect: -1 */
(int)2.9 * 10 + (int)-2.5 /* expect: 18 */
(double)3 / 2 /* expect: 1.5 */
(double)(3 / 2) /* expect: 1 */
(long)7.9 + 1 /* expect: 8 */
sizeof(char) + sizeof(short) * 10 + sizeof(double) * 100 /* expect: 821 */
sizeof c + sizeof sh * 10 + sizeof(c + 1) * 100 + sizeof d * 1000 /* expect: 8421 */
sizeof f + sizeof 3.5 * 10 + sizeof "abc" * 100 /* expect: 484 */
sizeof(i = 5) /* expect: 4 */
i /* expect: 5 */
int body(x) double x;
{
    char small;
    int whole;
    small = whole = x * 100;
    return small * 1000 + whole + (char)whole + sizeof small;
}
body(2.571) /* expect: 1259 */
/* Type names with stars, in casts and sizeof: a pointer is 4 bytes; a cast to another pointer
   type is accepted where the pointee types would differ. */
int buf[2];
int *ip;
char *cp;
sizeof(char *) /* expect: 4 */
sizeof(int **) + sizeof(double *) /* expect: 8 */
int casts()
{
    ip = buf;
    cp = (char *)ip;
    cp[0] = 1;
    cp[1] = 1;
    ip = (int *)cp;
    return *ip;
}
casts() /* expect: 257 */
int mismatch()
{
    ip = cp; cp = buf; /* expect error 601: Type mismatch '' */ /* expect error 601: Type mismatch '' */
    cp = (char *)buf;
    return cp == (char *)ip;
}
mismatch() /* expect: 1 */
void main() { }
