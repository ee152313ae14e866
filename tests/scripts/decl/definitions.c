/* Definitions: initialisers (globals once, when read; locals at every entry of their block;
   static locals once, when the body is checked), old-style parameters converted to their types,
   prototypes, and a function defined inside a top-level expression. */
int x = 5;
int y = x + 1;
double d = 7;
char c = 300;
int counter;
int bump() { counter = counter + 1; return counter * 10; }
int z = bump(), w = bump() + x, *pz = &z;
char *p = "abc";
char s4[4] = "abc"; /* expect error 401: Unknown type */
y * 100 + c + d / 2 /* expect: 647.5 */
z * 1000 + w * 10 + *pz + counter + (p[2] + s4[0]) * 100000 /* expect: 9910262 */
(x = 50) * 10 + y /* expect: 506 */
int each_entry()
{
    int total = 0;
    int i = 0;
    while (i < 3) {
        int k = 10 + i;
        k++;
        total = total * 100 + k;
        i++;
    }
    return total;
}
each_entry() /* expect: 111213 */
each_entry() /* expect: 111213 */
int twice(n) int n; { return n * 2; }
int from_params(n) int n;
{
    int a = n + 1, b = twice(a);
    char small = n;
    double half = n / 2.0;
    return a * 1000 + b * 10 + small + half * 2;
}
from_params(4) /* expect: 5108 */
from_params(300) /* expect: 307364 */
int counted()
{
    static int calls = 100;
    static double scale = 1.5;
    int fresh = 1;
    calls++;
    fresh++;
    return calls * scale * 10 + fresh;
}
counted() /* expect: 1517 */
counted() /* expect: 1532 */
/* static initialisers that read a global and call a function (x is 50 here) */
int from_global()
{
    static int g = x;
    static int t = twice(3);
    g = g + 1;
    return g * 100 + t;
}
from_global() /* expect: 5106 */
int sum3(a, b, c) char a; short b; double c; { int r; r = a + b + c; return r; }
sum3(1, 2, 3.9) * 10 + sum3(257, 65537, 0.5) /* expect: 62 */
int mix(c, i) char c; int i; { return c * 1000 + i; }
mix(7, 42) * 10 + mix(300, -1) /* expect: 114419 */
double half(x) double x; { return x / 2; }
int scaled(q) float q; { return q * 10; }
half(5) + scaled(2.5) /* expect: 27.5 */
int order(a, b) char *b; int a; { return b[1] * 100 + a; }
order(3, "xy") /* expect: 12103 */
/* undeclared parameters are int; a trailing comma is accepted; a name declared after the list
   but not in it is one more parameter */
int plain(a, b,) { return a - b; }
int extra(a) int a; int b; { return a * 10 + b; }
plain(10, 4) * 100 + extra(1, 2) /* expect: 612 */
int arr[5];
int total(v, n) int v[5]; int n;
{
    int i;
    int t;
    t = 0;
    for (i = 0; i < n; i++)
        t = t + v[i];
    v[0] = 100;
    return t + sizeof(v) * 1000;
}
(arr[4] = 9) + total(arr, 5) * 10 + arr[0] * 100000 /* expect: 10040099 */
int first(s) char *s; { return s[0]; }
char word[4];
(word[0] = 'o') + first("Hi") * 1000 + first(word) /* expect: 72222 */
/* typedef names may declare parameters, also the first one */
typedef unsigned char BYTE;
typedef struct Pt { int x; int y; } PT;
int area(p, scale) PT *p; BYTE scale; { return p->x * p->y * scale; }
PT pt;
(pt.x = 3) + (pt.y = 4) + area(&pt, 258) * 10 /* expect: 247 */
int later();
int named(a, b);
int early()
{
    return later() + named(1, 2); /* expect error 403: Unknown function 'later' */ /* expect error 403: Unknown function 'named' */
}
early() /* expect: 0 */
int later() { return 5; }
int named(a, b) int a; int b; { return a * 10 + b; }
early() /* expect: 17 */
int no_prototype() { return after(1); } /* expect error 301: Bad argument */
int after(x) int x; { return x * 3; }
no_prototype() /* expect: 3 */
/* mutual recursion through a prototype that names the parameter */
int is_odd(n);
int is_even(n) int n; { if (n == 0) return 1; return is_odd(n - 1); }
int is_odd(n) int n; { if (n == 0) return 0; return is_even(n - 1); }
is_even(10) * 10 + is_odd(7) /* expect: 11 */
void main() { }
