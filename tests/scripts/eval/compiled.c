/* Compiled bodies: a body runs as register code from its first call on. Each case runs twice
   (the second run must repeat the first), and the script tests run it once more through the
   walker alone, which must give the same values, reports and lines. */
char c;
unsigned char uc;
short s;
unsigned short us;
int objects()
{
    int r;
    c = 300; uc = 300; s = 70000; us = 70000;
    r = (c = 200) + (uc = -1) * 10;
    return r * 1000000 + c + uc + s + us + (s = -70000) + (us = -1);
}
objects() /* expect: -1800897098 */
objects() /* expect: -1800897098 */
int steps()
{
    char *p, *q;
    short h;
    unsigned char u;
    int a[3];
    p = "xyz";
    q = p++;
    h = 32767; h++;
    u = 0; u--;
    a[0] = 5; a[1] = 7;
    return (p - q) * 1000000 + *p * 1000 + h + u + ++a[0] * 10 + a[1]--;
}
steps() /* expect: 1088554 */
steps() /* expect: 1088554 */
struct cell { int key; short hits; char tag; struct cell *next; };
struct cell cells[3];
int walk_cells()
{
    struct cell *p, *end;
    int sum;
    sum = 0;
    for (p = cells; p < cells + 3 * sizeof(struct cell); p++) {
        p->key = p->key + 1;
        p->hits++;
        p->tag = p->key * 50;
        p->next = p;
    }
    end = cells[2].next;
    for (p = cells; p <= end; p++)
        sum = sum + p->key * 100 + p->hits * 10 + p->tag + (p->next == p);
    return sum + cells[1].tag;
}
walk_cells() /* expect: 533 */
walk_cells() /* expect: 1063 */
/* Loads outside the arena report 102 and leave the value the operand had: the base of a
   subscript, the pointer of * and ->; the dead load of the left side of '=' reports too, and
   the store is skipped. */
int outside()
{
    char *p;
    int *w;
    struct cell *q;
    p = 0; w = 8; q = 16;
    p[2] = w[1] = 7;
    return p[3] + *w + q->hits
        + (q->key = 5);
}
outside() /* expect: 29 */
/* expect error 102 line 61: Memory overflow */ /* expect error 102 line 61: Memory overflow */
/* expect error 102 line 62: Memory overflow */ /* expect error 102 line 62: Memory overflow */ /* expect error 102 line 62: Memory overflow */ /* expect error 102 line 63: Memory overflow */
outside() /* expect: 29 */
/* expect error 102 line 61: Memory overflow */ /* expect error 102 line 61: Memory overflow */
/* expect error 102 line 62: Memory overflow */ /* expect error 102 line 62: Memory overflow */ /* expect error 102 line 62: Memory overflow */ /* expect error 102 line 63: Memory overflow */
/* Operands are read when the walker reads them, before later side effects. */
int seen[4];
int record(i, v) int i, v; { seen[i] = v; return v; }
int order()
{
    int x, i;
    x = 1;
    i = 0;
    x = x + (x = 5) * 10;
    record(i, i++);
    record(i++, x);
    return x * 100 + seen[0] * 10 + seen[1] + i * 1000;
}
order() /* expect: 7151 */
order() /* expect: 7151 */
/* Each operator with operands of each kind (variables, temporaries, constants), into a variable
   and into a temporary, and each comparison as a branch. */
int kinds(n) int n;
{
    int a, b, x, h;
    h = 0;
    for (a = -3; a < n; a++)
        for (b = 0; b < 5; b++) {
            x = a + b;
            h = h * 31 + x + ((a + 1) + (b + 2));
            x = a - 7;
            h = h * 31 + x + ((a + 1) - 7);
            x = (a + 1) * b;
            h = h * 31 + x + (a * (b + 2));
            x = (a + 1) & (b + 2);
            h = h * 31 + x + (a & b);
            x = (a + 1) | 7;
            h = h * 31 + x + (a | 7);
            x = a ^ (b + 2);
            h = h * 31 + x + ((a + 1) ^ b);
            x = a << b;
            h = h * 31 + x + ((a + 1) << (b + 2));
            x = a >> 7;
            h = h * 31 + x + ((a + 1) >> 7);
            x = (a + 1) < b;
            h = h * 31 + x + (a < (b + 2));
            x = (a + 1) > (b + 2);
            h = h * 31 + x + (a > b);
            x = (a + 1) <= 7;
            h = h * 31 + x + (a <= 7);
            x = a >= (b + 2);
            h = h * 31 + x + ((a + 1) >= b);
            x = a == b;
            h = h * 31 + x + ((a + 1) == (b + 2));
            x = a != 7;
            h = h * 31 + x + ((a + 1) != 7);
            if (a < b) h++;
            if (a + 1 > 7) h = h + 3;
            if ((a + 1) <= (b + 2)) h = h ^ 5;
            if (a >= b) h = h - 1;
            if (7 == a) h = h + 11;
            if (b != (a + 1)) h = h * 3;
        }
    return h;
}
kinds(6) /* expect: 377593692 */
/* Compare-and-branch, switch tables (dense, sparse, repeated values, default in the middle,
   fall-through, break from a switch inside a loop; the last of two equal labels counts), and
   nested loops left by break. */
int classify(v) int v;
{
    switch (v) {
    case -3: case 0: return 1;
    case 5:
        v = v + 100;
    case 6:
        return v + 2;
    default:
        return 9;
    case 100000: return 4;
    case 7: break;
    }
    return 7;
}
classify(-3) + classify(0) * 10 + classify(5) * 100 + classify(6) * 100000 + classify(8) * 10000000 /* expect: 90810711 */
classify(100000) + classify(7) * 10 + classify(-100000) * 100 /* expect: 974 */
int pick(v) int v; { switch (v) { case 1: return 10; case 2: return 20; case 1: return 30; } return 0; }
pick(1) * 100 + pick(2) /* expect: 3020 */
int loops(n) int n;
{
    int i, j, k, found;
    found = 0;
    for (i = 0; i < n; i++) {
        j = 0;
        while (1) {
            switch (j & 3) {
            case 3: break;
            default: found = found + 1;
            }
            if (j >= i) break;
            j++;
        }
        for (k = 10; k > i; k--)
            if (k == 5) break;
        found = found + k * 1000;
    }
    return found;
}
loops(8) /* expect: 43030 */
loops(8) /* expect: 43030 */
/* Statements the compiler leaves to the walker run inside a compiled loop: a cast to char,
   a break and a return out of them, a double. */
int mixed(n) int n;
{
    int i, t;
    double d;
    t = 0;
    d = 0.5;
    for (i = 0; i < n; i++) {
        if ((char) i == 3) break;
        d = d * 2;
        t = t + (int) d;
    }
    while (1)
        if ((char) t) return t * 10 + i;
    return -1;
}
mixed(10) /* expect: 73 */
mixed(2) /* expect: 32 */
/* goto in a compiled body: out of nested loops and a switch, backwards, forwards past a return,
   and from a statement the walker runs (a cast to float). */
int jumps(n) int n;
{
    int i, j, k;
    k = 0;
again:
    for (i = 0; i < 5; i++)
        for (j = 0; j < 5; j++)
            switch (j) {
            case 3:
                if (i == n) goto out;
                k++;
            }
    k = k + 1000;
out:
    if ((float) k < 2) { k = k + 10; goto again; }
    if (k < 5000) goto far;
    return k;
far:
    k = k * 3;
    goto out;
}
jumps(0) * 100000 + jumps(2) /* expect: 729013122 */
jumps(7) /* expect: 9045 */
/* A result the compiler cannot type (a char pointer, a double; a recursive call of a function
   whose returns differ) comes back through the walker's Value; a function without return gives 0
   of its type. */
char *name_of(n) int n; { if (n) return "one"; return "none"; }
double half(n) int n; { return n / 2.0; }
int nothing() { int x; x = 3; }
*name_of(1) + *name_of(0) * 1000 /* expect: 110111 */
half(7) + nothing() /* expect: 3.5 */
strlen(name_of(0)) * 10 + strlen(name_of(1)) /* expect: 43 */
char *chain(n) int n; { if (n) return chain(n - 1); return "end"; }
*chain(3) + *(chain(0) + 1) * 1000 /* expect: 110101 */
/* Pointer results inside compiled callers: a word whose pointee the walker reads (a member, an
   element or '*' of the result itself), past the call limit a null pointer without one. */
struct node { int v; struct node *next; };
struct node *push(h, v) struct node *h; int v;
{ struct node *n; n = malloc(sizeof(struct node)); n->v = v; n->next = h; return n; }
struct node *second(h) struct node *h; { return h->next; }
int walk(n) int n;
{
    struct node *l, *p;
    int s;
    l = push(push(push(0, 1), 2), n);
    s = 0;
    for (p = l; p; p = p->next) s = s * 10 + p->v;
    return s + second(l)->v * 1000 + (push(l, 5) == 0) + *chain(2) * 10000 + second(l)->next[0].v * 100;
}
walk(7) /* expect: 1012821 */
char *pick_name(n) int n; { if (n > 1) return pick_name(n - 1); if (n) return "yes"; return 0; }
int use_pick(n) int n; { char *s; s = pick_name(n); if (s) return *s; return -1; }
use_pick(3) * 1000 + use_pick(0) + use_pick(40) /* expect: 120998 */ /* expect error 102 line 247: Memory overflow */
/* Results whose type head differs from return to return are words to compiled callers; what the
   head decides (sizeof, a return of the result) is the walker's: the head of the return made. */
int narrowed(n) int n; { if (n > 0) return (unsigned char) n; return (short) -n; }
int forward(n) int n; { return narrowed(n); }
int use_narrowed(n) int n;
{ int s; s = narrowed(n) + narrowed(-n) * 1000; return s * 10 + sizeof(narrowed(n)) + sizeof(forward(-n)); }
use_narrowed(300) * 100 + sizeof(forward(2)) * 10 + sizeof(forward(-2)) /* expect: 300044312 */
/* Double results inside compiled callers: typed when every return gives a double, 0.0 from a
   body without return and from a call past the limit; a double function that returns an int
   gives the int (3 / 2 divides integers). */
double power(x, n) double x; int n; { if (n == 0) return 1.0; return x * power(x, n - 1); }
double none() { int x; x = 1; }
double whole(n) int n; { if (n) return n; return 0.5; }
double mix(n) int n; { return power(2.0, n) + none() + whole(3) / 2 + whole(0) * 2; }
mix(10) /* expect: 1026 */
double ddeep(n) int n; { if (n > 0) return ddeep(n - 1) + 1.0; return 0.25; }
ddeep(3) * 10 + ddeep(40) /* expect: 63.5 */ /* expect error 102 line 265: Memory overflow */
/* Errors inside compiled loops name their own lines; the call limit is met inside compiled
   code (the 32nd call gives 0 and its caller goes on); a char argument is pushed as a char. */
int zero;
int spread(n) int n;
{
    int i, s;
    s = 0;
    for (i = 0; i < n; i++)
        s = s +
            i / zero; /* expect error 302: Bad operand / */
    return s + n;
}
spread(2) /* expect: 2 */
/* expect error 302 line 276: Bad operand / */
int deep(n) char n; { if (n == 0) return 0; return deep(n - 1) + 1; }
deep(30) * 100 + deep(40) /* expect: 3031 */ /* expect error 102 line 281: Memory overflow */
deep(286) /* expect: 30 */
int split(n) int n; { if (n == 0) return 0; return split(n - 1
    ) + 1; } /* a call is made at its ')' */
split(40) /* expect: 31 */ /* expect error 102 line 285: Memory overflow */
int two(a, b) char a; int b; { return a * 1000000 + b; }
two(257, 100000) /* expect: 1100000 */
/* Casts to integer types convert as a store of the type would, and sizeof of an integer type is
   a constant; a cast operand's failed load reports at its own line. */
int narrow(x) int x;
{
    int i, s;
    char *p;
    s = 0;
    for (i = 0; i < 3; i++)
        s = s + (char)(x + i) + (unsigned char)x * 10 + (short)(x * 300) + (unsigned short)-x
            + (signed)i + (unsigned)i + (long)i + sizeof(short) * 1000 + sizeof(unsigned long);
    p = 0;
    return s + (int)
        *p + (unsigned char)p + sizeof(char);
}
narrow(200) /* expect: 191257 */ /* expect error 102 line 301: Memory overflow */
narrow(-1) /* expect: 12775 */ /* expect error 102 line 301: Memory overflow */
int small(x) int x; { return (unsigned char)x; }
small(511) + small(-1) /* expect: 510 */
/* Doubles: variables, constants, arithmetic mixed with ints, comparisons, '!', '-', conversions
   by stores and casts, returns; a store into an unsigned char reports 401 (no such conversion). */
double total;
double mean(n) int n;
{
    double s, x;
    int i, k;
    char c;
    unsigned char u;
    s = 0;
    for (i = 1; i <= n; i++) {
        x = i * 1.5;
        if (x > 4)
            if (!(x == 6.0))
                s = s + x / 2;
            else
                s = s - -x;
    }
    total = s;
    k = s * 10;
    c = total * 100;
    u = s;
    while (x)
        x = x - 1.5;
    if ((s + k) / (n - n) < 0)
        return 1.0;
    return s / n + (short)(total * 1000) + c + !x + (s >= k);
}
mean(4) /* expect: 8310.06 */ /* expect error 401 line 328: Unknown type */
total /* expect: 8.25 */
mean(3) /* expect: 2220.75 */ /* expect error 401 line 328: Unknown type */
int inf() { double z; int i; z = 0; i = 1 / z; return i + (1 / z > 1e300); }
inf() /* expect: 1 */
/* Built-ins take a double as two words and give one back. */
int fmt(d) double d;
{
    char buf[80];
    double x;
    int i;
    x = atof("2.25") * 2 + d;
    for (i = 0; i < 2; i++)
        sprintf(buf + strlen(buf) * i, "%d:%.3f|%s|", i, x * i, "a");
    i = strcmp(buf, "0:0.000|a|1:5.000|a|");
    return strlen(buf) * 100 + (atof("1e3") > 999) * 10 + i;
}
fmt(0.5) /* expect: 2010 */
/* Script calls push each argument as its parameter's type: ints to doubles, doubles to chars;
   a double argument on the way to the call limit. */
double g_scaled;
double scale(x, n) double x; int n; { g_scaled = x * n; return g_scaled; }
int chars(c, d) char c; double d; { return c * 1000 + d; }
double dsum(n, acc) int n; double acc; { if (n == 0) return acc; dsum(n - 1, acc + 0.5); return acc; }
int callers(k) int k;
{
    double d;
    int i;
    d = 2.75;
    scale(d, 2);
    i = g_scaled * 100;
    scale(3, 2.9);
    i = i + chars(d * 100, d) + chars(300, 1) * 10 + g_scaled;
    dsum(40, d);
    return i;
}
callers(1) /* expect: 459568 */ /* expect error 102 line 358: Memory overflow */
/* sizeof of a variable is the size of its declared type: scalars, arrays, structs, globals. */
struct pt { int x; char c; double d; };
struct pt gp[3];
char gname[10];
int sizes(n) int n;
{
    int i, s, a[5];
    char c;
    short h;
    double d;
    struct pt p;
    char *q;
    s = 0;
    for (i = 0; i < n; i++)
        s = s + sizeof(i) + sizeof c * 10 + sizeof(h) * 100 + sizeof d * 1000 + sizeof(a) * 10000
            + sizeof p * 100000 + sizeof(gp) * 1000000 + sizeof gname + sizeof(q) + sizeof(n);
    return s;
}
sizes(2) /* expect: 81016464 */
/* Doubles through memory and a double result beside what the compiler leaves to the walker
   inside a compiled loop (a float, a cast to a pointer) give the walker's values. */
struct pair { int a; double d; };
double tenths[4];
double halved(x) double x; { return x / 2; }
int through_memory(n) int n;
{
    struct pair p;
    struct pair *pp;
    float f;
    int i;
    char *cp;
    pp = &p;
    p.a = 3;
    p.d = 0;
    f = 0;
    for (i = 0; i < n; i++) {
        tenths[i] = i / 10.0;
        pp->d = pp->d + tenths[i];
        f = f + halved(i);
        cp = (char *) &p.a;
    }
    *cp = 7;
    return p.a + (int) (pp->d * 10) + (int) f * 100;
}
through_memory(4) + through_memory(4) /* expect: 626 */
/* Doubles in memory: elements, members through a pointer and of a struct variable, stores of
   ints and doubles. A load outside the arena reports 102 and keeps the word it had (a tiny
   double, never a host pointer's bits); a store there reports once, from its dead load; so does
   '&' of such a member. */
struct dm { int k; double v; };
double dm_sum(n) int n;
{
    double a[3];
    struct dm s, *p;
    int i;
    double t;
    p = &s;
    s.v = 1;
    t = 0;
    for (i = 0; i < n; i++) {
        a[i] = i + 0.5;
        p->v = p->v * 2;
        t = t + a[i] * p->v;
    }
    p = 0;
    t = t + p->v; /* expect error 102: Memory overflow */
    p->v = 3; /* expect error 102: Memory overflow */
    &p->v; /* expect error 102: Memory overflow */
    t = t + a[n + 100000]; /* expect error 102: Memory overflow */
    return t + s.v;
}
dm_sum(3) * 100 + dm_sum(2) /* expect: 3511 */
/* expect error 102 line 437: Memory overflow */ /* expect error 102 line 438: Memory overflow */
/* expect error 102 line 439: Memory overflow */ /* expect error 102 line 440: Memory overflow */
double lost(n) int n; { double a[2]; double t; t = a[n]; return t; }
(lost(100000) != 0) & (lost(100000) < 1e-313) /* expect: 1 */
/* expect error 102 line 446: Memory overflow */ /* expect error 102 line 446: Memory overflow */
/* Casts to pointer, struct pointer, typedef, double and integer types, and sizeof of type names
   and of operands, which are evaluated (i++ counts, a load through a bad pointer reports). */
struct cpt { int x; char c; double d; };
typedef struct cpt Cpt;
typedef int myint;
union cu { int i; char b[4]; };
enum ccol { RED, GREEN };
int cbuf[4];
struct cpt cgp;
int casts(n) int n;
{
    char *cp;
    int *ip;
    struct cpt *pp;
    double d;
    int s, i;
    short sh;
    ip = cbuf;
    cp = (char *) ip;
    for (i = 0; i < 4; i++) cp[i] = i + 1;
    ip = (int *) cp;
    s = *ip;
    pp = (struct cpt *) &cgp;
    pp->x = 7;
    pp->d = 2.5;
    d = (double) n / 4;
    s = s + (int) (d * 100) + (myint) 3 + (char) 300 + (unsigned char) -1;
    s = s + sizeof(struct cpt) + sizeof(Cpt) + sizeof(Cpt *) + sizeof(union cu) + sizeof(enum ccol);
    s = s + sizeof(*pp) + sizeof pp->c + sizeof(pp->d) + sizeof cbuf + sizeof(cbuf[1]) + sizeof((cp[0]));
    s = s + sizeof(i++) + i + sizeof(double) + sizeof(void) + sizeof(unsigned short) + sizeof(long int);
    sh = (short) (double) 70000.5;
    s = s + sh + (int) (double) (char *) 12 + (long) (Cpt *) 0;
    pp = 0;
    s = s + sizeof(pp->x) + sizeof(*pp); /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
    ip = (int *) 16;
    s = s + sizeof(*ip); /* expect error 102: Memory overflow */
    s = s + (int)(float) 2.5;
    return s;
}
casts(3) * 10 + casts(10) /* expect: 740420867 */
/* expect error 102 line 482: Memory overflow */ /* expect error 102 line 482: Memory overflow */
/* expect error 102 line 484: Memory overflow */
/* Floats: variables, elements and members, rounded when stored (the assignment's value too),
   doubles in their arithmetic with the left operand's head, beyond the float range infinite;
   loads and stores through bad pointers report 102 as doubles do. */
struct fs { int k; float f; };
float fa[4];
struct fs fst[2];
int floats(n) int n;
{
    float f, g;
    struct fs *p;
    int i;
    double d;
    char c;
    f = 0;
    g = 0.1;
    p = &fst[1];
    for (i = 0; i < n; i++) {
        f = f + g * i;
        fa[i & 3] = f / 3;
        p->f = p->f + fa[i & 3];
        d = f * 1000000.123456;
        c = f * 10;
        if (!(f > 100.5)) f = -f + (float) i / 7 + halved(f);
    }
    g = 1e40;
    d = d + (float) 1e40;
    return (int) (f * 1000) + (int) (p->f * 100) + (int) d + c + (int)(g > 1e39) + sizeof(f) + sizeof(fa[0] + 1) + (f == g);
}
floats(10) * 10 + floats(3) /* expect: 8693 */
float fret(n) int n; { float f; f = n / 3.0; return f; }
fret(2) * 3 /* expect: 2 */
int rounded() { float f; double d; d = (f = 0.1); return (d != 0.1) * 10 + ((float) 0.1 == 0.1); }
rounded() /* expect: 10 */
int badf() { float *fp; fp = 0; return (int) (*fp + 1) + (int) (fp[100000] = 2.5); }
badf() /* expect: 3 */ /* expect error 102 line 524: Memory overflow */ /* expect error 102 line 524: Memory overflow */
/* p->f = p->f ...: the dead load of the left side and the load of the right one each report,
   at their own lines. */
struct cnt { int n; short s; };
struct cnt *nowhere;
int bump(p) struct cnt *p;
{
    p->n = p->n + 1;
    p->s = p->s * 2;
    p->n =
        p->n - 1;
    return p->n;
}
bump(nowhere) /* expect: 0 */
/* expect error 102 line 532: Memory overflow */ /* expect error 102 line 532: Memory overflow */
/* expect error 102 line 533: Memory overflow */ /* expect error 102 line 533: Memory overflow */
/* expect error 102 line 534: Memory overflow */ /* expect error 102 line 535: Memory overflow */
/* expect error 102 line 536: Memory overflow */
/* Declarations read after a body was compiled: a global declared again (new storage, another
   type), an enumeration constant or a function defined again; calls made after them see them,
   as the walker does. */
int tally;
int count_up(d) int d; { tally = tally * 10 + d; return tally; }
count_up(1) * 10 + count_up(2) /* expect: 22 */
int tally;
count_up(3) /* expect: 3 */
enum { KV = 1 };
int kv() { return KV; }
kv() /* expect: 1 */
enum { KV = 5 }; /* expect error 600: Redefinition of 'KV' */
kv() /* expect: 5 */
int take(c) char c; { return c; }
int caller() { return take(300); }
caller() /* expect: 44 */
int take(c) int c; { return c + 1; } /* expect error 600: Redefinition of 'take' */
caller() /* expect: 301 */
char narrow_global;
int use_global() { narrow_global = 300; return narrow_global; }
use_global() /* expect: 44 */
int narrow_global;
use_global() /* expect: 300 */
/* Statements and conditions without a tree run through the walker inside compiled code: a
   function's name as a value (0), a case label with sizeof (and a goto out of that switch), a
   condition that reads through a call's result. */
struct node2 { int v; struct node2 *next; };
struct node2 cells2[2];
struct node2 *first2(n) int n; { return &cells2[n & 1]; }
int fallbacks(x) int x;
{
    int n, k;
    n = 0;
    k = fallbacks;
    if (fallbacks) n = n + 1;
    while (fallbacks) n = n + 100;
    for (k = 0; k < 3 + fallbacks; k++) n = n + 10;
    switch (x) {
    case sizeof(int): n = n + 1000; break;
    case 5: n = n + 2000;
    }
    switch (x) {
    case sizeof(short): goto done;
    }
    cells2[1].v = 7;
    if (first2(x)->v == 7) n = n + 30000;
    while (first2(x)->v > 7) n = n + 1;
done:
    return n + k;
}
fallbacks(4) * 100000 + fallbacks(5) /* expect: 103332033 */
fallbacks(2) /* expect: 33 */
/* A void pointer steps by 0 (the size of void), and sizeof takes a typedef of an array. */
typedef int row3[3];
int voids() { void *vp; char four[4]; int n; vp = four; vp++; vp = vp + 2; n = vp - four; return n * 100 + sizeof(row3) + sizeof(void); }
voids() /* expect: 212 */
/* Arguments that do not fit between the stack and the allocations are pushed one by one, each
   reporting as the walker's push does, and the call reports too. */
int three(a, b, c) int a, b, c; { return a + b + c; }
int squeeze()
{
    int n, r;
    char *p;
    n = 0;
    p = malloc(1);
    while (p) { n++; p = malloc(1); } /* expect error 102: Memory overflow */
    r = three(1, 2, 3); /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
    return n > 1000;
}
squeeze() /* expect: 1 */
void main() { }
