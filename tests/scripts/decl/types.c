/* Types: keywords in any order (a later one replaces an earlier one, int only fills an empty type),
   typedef names, declarators, struct and union layout without padding, enums (values wrap); sizes and
   offsets past the 16,384-byte arena are reported once (102) and keep a size that nothing fits in. */
unsigned u; short int si; int short is; signed t; static y;
char unsigned cu; unsigned char uc; signed char sc; long double ld; unsigned short us; float f;
sizeof u + sizeof si * 10 + sizeof is * 100 + sizeof cu * 1000 /* expect: 4224 */
sizeof uc + sizeof sc * 10 + sizeof ld * 100 + sizeof us * 1000 /* expect: 2811 */
sizeof y + sizeof f * 10 + sizeof t * 100 + sizeof(unsigned char) * 1000 /* expect: 1444 */
(uc = 511) * 10 + (sc = 255) /* expect: 2549 */
(cu = 70000) + (us = 65535) /* expect: 135535 */
(si = 98304) * 10 + (y = 3.99) /* expect: -327677 */
(ld = 3) + ld / 2 /* expect: 4.5 */
f = 1e40 /* expect: inf */
/* typedef names in place of type keywords */
typedef unsigned char BYTE;
typedef char *STR;
typedef int VEC[3];
BYTE b;
STR s = "hey";
VEC v;
(b = 258) * 1000 + s[1] /* expect: 2101 */
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
(&grid[1][0] - &grid[0][0]) * 100 + &grid[2][3] - &grid[0][0] /* expect: 1644 */
(grid[2][1] = 21) + grid[1][4] + grid[2][0] * 10 + grid[1][5] * 100 /* expect: 2121 */
(val = 17) + (ptrs[1] = &val) - &val + (pp = &ptrs[1]) - &ptrs[1] /* expect: 17 */
(**pp = 18) + val + *ptrs[1] /* expect: 54 */
sizeof pp + sizeof *pp * 10 + sizeof **pp * 100 /* expect: 444 */
struct S { int a; char b; } s1;
struct S t1;
union U { char c; int i; double d; } u1;
struct N { struct S in; char *name; struct N *next; double w; } n;
struct { char q; short r; } anon1;
struct { int x; int y; int z; } anon2;
typedef struct S T;
T v1;
sizeof s1 + sizeof t1 * 10 + sizeof(struct S) * 100 + sizeof(T) * 1000 /* expect: 5555 */
sizeof u1 + sizeof(union U) * 100 /* expect: 1313 */
sizeof n + sizeof anon1 * 100 + sizeof anon2 * 1000 /* expect: 12321 */
(&u1.d - &u1.c) * 10 + &t1.b - &t1.a /* expect: 54 */
(&n.w - &n.in) * 100 + (&n.next - &n.in.b) * 10 + &anon2.z - &anon2.x /* expect: 1358 */
(v1.a = 10) * 1000 + (v1.b = 300) + v1.a * 10 /* expect: 10144 */
(u1.i = 65) * 10 + u1.c /* expect: 650 */
(n.next = &n) - &n + (n.next->next->in.b = 7) * 10 + n.in.b /* expect: 77 */
/* a typedef of a pointer to a struct whose body comes later */
typedef struct Later *LP;
struct Later { short k; LP self; };
struct Later later;
sizeof(struct Later) * 100 + (later.self = &later) - &later + (later.self->self->k = 12) /* expect: 612 */
/* enum constants count on from the last explicit value */
enum E { P, Q = 5, R, S2 = -2, S3 };
enum E e;
enum { X, Y = 7 };
P * 1000 + Q * 100 + R * 10 + S3 + sizeof e * 10000 + (X + Y) * 100000 /* expect: 740559 */
/* struct and enum declarations inside a body are laid out once and hold on every call */
int local_types()
{
    struct P { int x; short y; } pt;
    enum K { K1 = 3, K2 };
    struct P *pp;
    pp = &pt;
    pp->y = K2;
    pt.x = sizeof(struct P);
    return pt.x * 100 + pt.y;
}
local_types() * 1000 + local_types() /* expect: 604604 */
struct Big { int a[3000]; int b[3000]; int c; }; /* expect error 102: Memory overflow */
sizeof(struct Big) /* expect: 16385 */
struct Big g; /* expect error 102: Memory overflow */
struct Fits { char x[16000]; };
sizeof(struct Fits) /* expect: 16000 */
int huge[2147483647]; /* expect error 102: Memory overflow */
sizeof huge /* expect: 2147483647 */
struct Tag { int m; };
struct Tag *bad[0]; /* expect error 306: Bad array size */
sizeof bad /* expect: 0 */
int frame()
{
    int a[2147483647]; /* expect error 102: Memory overflow */
    int b[2147483647][2147483647];
    struct Big s;
    return 1;
}
frame() /* expect: 0 */ /* expect error 102: Memory overflow */
int params(p, q) struct Big p; struct Big q; /* expect error 102: Memory overflow */
{ /* expect error 102: Memory overflow */
    return 2;
}
int small()
{
    struct Tag *h[0]; /* expect error 306: Bad array size */
    int x[10];
    x[9] = 9;
    return x[9];
}
small() /* expect: 9 */
enum Wrap { TOP = 2147483647, PAST, NEXT };
PAST /* expect: -2147483648 */
NEXT /* expect: -2147483647 */
void main() { }
