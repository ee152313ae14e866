/* Old-style parameters: names in the list, types declared before the body in any order. Each
   argument is converted to its parameter's type; an array parameter is a pointer. */
int sum3(a, b, c) char a; short b; double c;
{
    int r;
    r = a + b + c;
    return r;
}
sum3(1, 2, 3.9) /* expect: 6 */
sum3(257, 65537, 0.5) /* expect: 2 */
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
arr[4] = 9 /* expect: 9 */
total(arr, 5) /* expect: 4009 */
arr[0] /* expect: 100 */
int first(s) char *s; { return s[0]; }
char word[4];
word[0] = 'o' /* expect: 111 */
first("Hi") * 1000 + first(word) /* expect: 72111 */
/* typedef names may declare parameters, also the first one */
typedef unsigned char BYTE;
typedef struct Pt { int x; int y; } PT;
int area(p, scale) PT *p; BYTE scale; { return p->x * p->y * scale; }
PT pt;
pt.x = 3 /* expect: 3 */
pt.y = 4 /* expect: 4 */
area(&pt, 258) /* expect: 24 */

void main() { }
