/* A body runs as register code from its first call: every run must give the values and the
   reports that the walker gives, for expressions (order of side effects, quirks, reports in bodies
   spread over lines) and statements (loops, branches, break and return). */
int order[8];
int n;
int note(v) int v; { order[n] = v; n = n + 1; return v; }
int sides()
{
    int a[4], i, j;
    i = 0;
    a[0] = a[1] = a[2] = a[3] = 0;
    a[i++] = i;
    j = note(1) + note(2) * note(3);
    return a[0] * 1000 + i * 100 + j + order[0] * 10000 + order[2] * 100000;
}
sides() /* expect: 311107 */
n = 0 /* expect: 0 */
sides() /* expect: 311107 */
int quirks() { int x, y, *p; x = 1; y = 2; x + y = 5; p = &x; *p = *p + 40; ++y; return x * 100 + +y; }
quirks() * 10000 + quirks() /* expect: 41064106 */
int bad_prefix() { int y; y = 2; --(y); return y; } /* expect error 305: Bad lvalue */ /* expect error 500: Expected ';' */ /* expect error 500: Expected ';' */
bad_prefix() + bad_prefix() /* expect: 4 */
/* expect error 305 line 21: Bad lvalue */ /* expect error 500 line 21: Expected ';' */ /* expect error 500 line 21: Expected ';' */
/* expect error 305 line 21: Bad lvalue */ /* expect error 500 line 21: Expected ';' */ /* expect error 500 line 21: Expected ';' */
int divide(a, b) int a, b;
{
    return a
        / b; /* expect error 302 line 28: Bad operand / */
}
divide(7, 2) * 100 + divide(7, 0) * 10 + divide(7, 0) /* expect: 300 */
/* expect error 302 line 28: Bad operand / */
char text[8];
int bytes()
{
    char *s;
    int sum;
    strcpy(text, "abc");
    sum = 0;
    for (s = text; *s; s++) sum = sum * 256 + *s;
    return sum + strlen(strcpy(text, "xy")) * 0x1000000;
}
bytes() /* expect: 39936611 */
bytes() /* expect: 39936611 */
int flow(n) int n;
{
    int i, j, sum;
    sum = 0;
    for (i = 0; ; i++) {
        if (i >= n)
            break;
        j = 0;
        while (1) {
            if (j == i) break;
            else if (j & 1) sum = sum + j;
            else
                ;
            j++;
        }
        if (sum > 1000)
            return -sum;
    }
    for (; i < n + 3; )
        i++;
    { sum = sum * 10 + i; }
    return sum;
}
flow(10) * 10000 + flow(10) /* expect: 6130613 */
flow(200) * 10000 + flow(200) /* expect: -10121012 */
int count_down(n) int n; { int k; k = 0; while (n > 0) { n = n - 1; k = k + 2; } return k; }
count_down(5) * 100 + count_down(3) /* expect: 1006 */
int zero;
int faults()
{
    int k, s;
    s = 0;
    for (k = 0; k < 2; k++)
        s = s + 10 / zero; /* expect error 302 line 77: Bad operand / */
    return s;
}
faults() + faults() /* expect: 0 */
/* expect error 302 line 77: Bad operand / */
/* expect error 302 line 77: Bad operand / */
/* expect error 302 line 77: Bad operand / */
/* members of members, through . and -> */
struct In { int x; char c; };
struct Out { int a; struct In in; struct In *p; } o, *op;
int members() { op = &o; o.p = &o.in; o.in.x = 5; op->in.c = 2; return o.in.x * 100 + op->in.c * 10 + op->p->x; }
members() * 1000 + members() /* expect: 525525 */
int deref(p) int *p; { return 1 +
    *p; } /* expect error 102: Memory overflow */
deref(100) + deref(100) /* expect: 202 */ /* expect error 102 line 90: Memory overflow */
void main() {}
