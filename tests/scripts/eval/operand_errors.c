/* Operand errors: reported when a body is checked, or when it runs for those that depend on
   values; evaluation goes on after each report and nothing is written where an object is
   missing. */
struct P { int x; int y; } pt;
struct P *pp;
int n;
long lg;
char *cp;
int arr[3];
double dd;
char small;
enum Colour { RED };
int zero;
int one() { return 1; }
int checked()
{
    int k;
    k = n[1]; k = lg[0]; k = arr[dd]; /* expect error 304: Bad subscript expression */ /* expect error 304: Bad subscript expression */ /* expect error 601: Type mismatch '[]' */
    k = cp[1.5]; /* expect error 601: Type mismatch '*' */
    k = cp[lg]; /* expect error 601: Type mismatch '*' */
    k = arr[(unsigned)k] + arr[RED]; /* expect error 601: Type mismatch '[]' */ /* expect error 601: Type mismatch '[]' */
    k = arr[small] + arr[(char)k] + arr[(short)1];
    cp = &n; k = n->x; k = pt->x; k = n.x; /* expect error 601: Type mismatch '' */ /* expect error 800: Struct or union pointer type required for '->' operator */ /* expect error 800: Struct or union pointer type required for '->' operator */ /* expect error 801: Struct or union pointer type required for '.' operator */
    k = pp.x; k = pt.z; k = pp->n; k = !pt; /* expect error 801: Struct or union pointer type required for '.' operator */ /* expect error 802: Unknown struct member 'z' */ /* expect error 802: Unknown struct member 'n' */ /* expect error 701: Non integral operand */
    k = lg << dd; k = dd & 1; /* expect error 701: Non integral operand */ /* expect error 701: Non integral operand */
    k = n 5; /* expect error 200: Bad syntax 'Constant' */ /* expect error 500: Expected ';' */
    k = (n + 1]; /* expect error 200: Bad syntax ']' */
    k = k + ; /* expect error 200: Bad syntax ';' */
    k = n && 1; k = n || 1; /* expect error 200: Bad syntax '˜' */ /* expect error 500: Expected ';' */ /* expect error 200: Bad syntax '™' */ /* expect error 500: Expected ';' */
    5 = n; one() = 2; (char)n = 3; n + 1 = 5; /* expect error 305: Bad lvalue */ /* expect error 305: Bad lvalue */ /* expect error 305: Bad lvalue */ /* expect error 305: Bad lvalue */
    arr = cp; cp = &(n + 1); one()++; n++ = 6; /* expect error 305: Bad lvalue */ /* expect error 305: Bad lvalue */ /* expect error 305: Bad lvalue */ /* expect error 305: Bad lvalue */
    never_declared++; --never_declared_either; /* expect error 302: Bad operand ++ */ /* expect error 302: Bad operand -- */
    return k;
}
int running(x) double x;
{
    int k;
    int *nowhere;
    k = 10 / zero;
    k = k + (x | 1); /* expect error 701: Non integral operand */
    k = k + *n; /* expect error 302: Bad operand * */
    nowhere = 0;
    k = k + *nowhere;
    (n) = 4; /* expect error 305: Bad lvalue */
    return k + 5 + n;
}
/* 10 / 0 gives 0, x | 1 keeps x, *n and *nowhere keep the pointer value 0, n stays 0 */
running(2.5) /* expect: 7 */
/* expect error 302 line 39: Bad operand / */
/* expect error 701 line 40: Non integral operand */
/* expect error 302 line 41: Bad operand * */
/* expect error 102 line 43: Memory overflow */
/* expect error 305 line 44: Bad lvalue */
/* An object outside the arena (through a null or a stray pointer) is reported once, when it is
   read: a store or a step writes nothing more and reports nothing more, '&' gives its address,
   and an assignment gives the right side converted to the object's type, also on the second run
   of a body. */
int *nullp;
int through(p, c) int *p; char *c;
{
    int k;
    k = *p = 7;
    k = k * 1000 + (*c = 300);
    p[2]++;
    return k;
}
through(0, 5) + through(nullp, 0) /* expect: 14088 */
/* expect error 102 line 62: Memory overflow */
/* expect error 102 line 63: Memory overflow */
/* expect error 102 line 64: Memory overflow */
/* expect error 102 line 62: Memory overflow */
/* expect error 102 line 63: Memory overflow */
/* expect error 102 line 64: Memory overflow */
*nullp = 2.5 /* expect error 102: Memory overflow */ /* expect: 2 */
&*nullp /* expect error 102: Memory overflow */ /* expect: 0 */
/* A long index is reported when the body is checked and each time it runs; the
   element is still read. */
long at_two;
int by_long()
{
    return arr[at_two]; /* expect error 601: Type mismatch '[]' */
}
arr[2] = 12 /* expect: 12 */
at_two = 2 /* expect: 2 */
by_long() + by_long() /* expect: 24 */
/* expect error 601 line 81: Type mismatch '[]' */
/* expect error 601 line 81: Type mismatch '[]' */
/* Reports raised while a top-level line is evaluated name that line, also when the last operand
   of the line is what causes them. */
1 + 2 / zero + 0 /* expect: 1 */ /* expect error 302: Bad operand / */
7 / zero /* expect: 0 */ /* expect error 302: Bad operand / */
dd = 1.5 /* expect: 1.5 */
dd << 1 /* expect: 1.5 */ /* expect error 701: Non integral operand */
3 = 4 /* expect: 3 */ /* expect error 305: Bad lvalue */
4 /* expect: 4 */
/* '&' of a call's result is reported at the line of the '&', not at the callee's, every time. */
int *ip;
int address_of_call()
{
    ip = &one(); /* expect error 305: Bad lvalue */
    return 0;
}
address_of_call() + address_of_call() /* expect: 0 */
/* expect error 305 line 100: Bad lvalue */
/* expect error 305 line 100: Bad lvalue */
void main() { }
