/* Type keywords and declarators. Keywords apply in reading order: a later one replaces an
   earlier one, except that int only fills an empty type. */
unsigned u; short int si; int short is; signed t; static y;
char unsigned cu; unsigned char uc; signed char sc; long double ld; unsigned short us; float f;
sizeof u + sizeof si * 10 + sizeof is * 100 + sizeof cu * 1000 /* expect: 4224 */
sizeof uc + sizeof sc * 10 + sizeof ld * 100 + sizeof us * 1000 /* expect: 2811 */
sizeof y + sizeof f * 10 + sizeof t * 100 + sizeof(unsigned char) * 1000 /* expect: 1444 */
uc = 511 /* expect: 255 */
sc = 255 /* expect: -1 */
cu = 70000 /* expect: 70000 */
us = 65535 /* expect: 65535 */
si = 98304 /* expect: -32768 */
y = 3.99 /* expect: 3 */
ld = 3 /* expect: 3 */
ld / 2 /* expect: 1.5 */
f = 1e40 /* expect: inf */

/* typedef names in place of type keywords */
typedef unsigned char BYTE;
typedef char *STR;
typedef int VEC[3];
BYTE b;
STR s = "hey";
VEC v;
b = 258 /* expect: 2 */
s[1] /* expect: 101 */
sizeof(BYTE) + sizeof(STR) * 10 + sizeof v * 100 + sizeof(VEC) * 1000 /* expect: 13241 */

/* stars and dimensions: arrays of arrays, arrays of pointers, pointers to pointers */
int grid[3][4];
int *ptrs[3];
int **pp;
int val;
/* A size is an int: a long one, or an enum constant, is reported, and its value still counts. */
enum { THREE = 3 };
int by_long[5L]; /* expect error 700: Non integral expression */
char by_enum[THREE]; /* expect error 700: Non integral expression */
sizeof by_long + sizeof by_enum * 100 /* expect: 320 */
sizeof grid + sizeof grid[1] * 100 + sizeof ptrs * 10000 /* expect: 121648 */
&grid[1][0] - &grid[0][0] /* expect: 16 */
&grid[2][3] - &grid[0][0] /* expect: 44 */
grid[2][1] = 21 /* expect: 21 */
grid[1][4] + grid[2][0] * 10 /* expect: 0 */
grid[1][5] /* expect: 21 */
val = 17 /* expect: 17 */
(ptrs[1] = &val) - &val /* expect: 0 */
(pp = &ptrs[1]) - &ptrs[1] /* expect: 0 */
**pp = 18 /* expect: 18 */
val + *ptrs[1] /* expect: 36 */
sizeof pp + sizeof *pp * 10 + sizeof **pp * 100 /* expect: 444 */

void main() { }
