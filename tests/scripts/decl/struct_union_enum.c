/* Struct and union layout (no padding; union members follow each other like struct members),
   nested and self-referencing structs, anonymous tags, typedef'd structs, enum values. */
struct S { int a; char b; } s;
struct S t;
union U { char c; int i; double d; } u;
struct N { struct S in; char *name; struct N *next; double w; } n;
struct { char q; short r; } anon1;
struct { int x; int y; int z; } anon2;
typedef struct S T;
T v;
sizeof s + sizeof t * 10 + sizeof(struct S) * 100 + sizeof(T) * 1000 /* expect: 5555 */
sizeof u + sizeof(union U) * 100 /* expect: 1313 */
sizeof n + sizeof anon1 * 100 + sizeof anon2 * 1000 /* expect: 12321 */
&u.d - &u.c /* expect: 5 */
&t.b - &t.a /* expect: 4 */
&n.w - &n.in /* expect: 13 */
&n.next - &n.in.b /* expect: 5 */
&anon2.z - &anon2.x /* expect: 8 */
v.a = 10 /* expect: 10 */
v.b = 300 /* expect: 44 */
v.a /* expect: 10 */
u.i = 65 /* expect: 65 */
u.c /* expect: 0 */
(n.next = &n) - &n /* expect: 0 */
n.next->next->in.b = 7 /* expect: 7 */
n.in.b /* expect: 7 */
/* a typedef of a pointer to a struct whose body comes later */
typedef struct Later *LP;
struct Later { short k; LP self; };
struct Later later;
sizeof(struct Later) /* expect: 6 */
(later.self = &later) - &later /* expect: 0 */
later.self->self->k = 12 /* expect: 12 */

/* enum constants count on from the last explicit value */
enum E { P, Q = 5, R, S2 = -2, S3 };
enum E e;
P * 1000 + Q * 100 + R * 10 + S3 /* expect: 559 */
sizeof e /* expect: 4 */
enum { X, Y = 7 };
X + Y /* expect: 7 */

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
local_types() /* expect: 604 */
local_types() /* expect: 604 */

void main() { }
