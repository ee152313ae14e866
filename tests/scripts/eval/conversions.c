/* Conversions: assignment stores and yields the right side converted to the left side's type
   (along a chain too, right to left); casts convert as C does, also to pointer types (where the
   pointee types would otherwise differ); sizeof gives declared sizes, a pointer's is 4. */
char c;
short sh;
int i;
unsigned char uc;
float f;
double d;
long l;
(c = 300) * 1000 + c /* expect: 44044 */
(i = 2.9) * 100 + (i = -2.9) * 10 + (i = -0.5) /* expect: 180 */
l = 3000000000.0 /* expect: -1294967296 */
(c = 65.9) + (sh = -2.5) * 1000 /* expect: -1935 */
/* a double is stored into char, short and unsigned short, not into unsigned char */
(sh = 70000.9) + (f = 3) / 2 /* expect: 4465.5 */
uc = 2.5 /* expect error 401: Unknown type */ /* expect: 2 */
uc /* expect: 0 */
(d = 7) + d / 2 /* expect: 10.5 */
(f = 1.5) + f * 2 /* expect: 4.5 */
(sh = 40000) * 1000 + (uc = -1) /* expect: -25535745 */
i = c = 200 /* expect: -56 */
d = i = 3.7 /* expect: 3 */
(i = d = 2.5) * 10 + d /* expect: 22.5 */
(c = sh = 65 + 256 * 3) * 10000 + sh /* expect: 650833 */
(i = 4) * 2 /* expect: 8 */
i + (i = 10) /* expect: 14 */
(char)300 * 1000 + (char)255 + 1 /* expect: 44000 */
(unsigned char)-1 * 10 + (short)65535 /* expect: 2549 */
(int)2.9 * 10 + (int)-2.5 /* expect: 18 */
(double)3 / 2 + (double)(3 / 2) * 10 /* expect: 11.5 */
(long)7.9 + 1 /* expect: 8 */
sizeof(char) + sizeof(short) * 10 + sizeof(double) * 100 /* expect: 821 */
sizeof c + sizeof sh * 10 + sizeof(c + 1) * 100 + sizeof d * 1000 /* expect: 8421 */
sizeof f + sizeof 3.5 * 10 + sizeof "abc" * 100 /* expect: 484 */
sizeof(i = 5) * 10 + i /* expect: 45 */
int body(x) double x;
{
    char small;
    int whole;
    small = whole = x * 100;
    return small * 1000 + whole + (char)whole + sizeof small;
}
body(2.571) /* expect: 1259 */
int buf[2];
int *ip;
char *cp;
sizeof(char *) * 10 + sizeof(int **) + sizeof(double *) /* expect: 48 */
int casts() { ip = buf; cp = (char *)ip; cp[0] = 1; cp[1] = 1; ip = (int *)cp; return *ip; }
casts() /* expect: 257 */
int mismatch()
{
    ip = cp; /* expect error 601: Type mismatch '' */
    cp = buf; /* expect error 601: Type mismatch '' */
    cp = (char *)buf;
    return cp == (char *)ip;
}
mismatch() /* expect: 1 */
void main() { }
