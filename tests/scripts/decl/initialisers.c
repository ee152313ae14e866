/* Initialisers: globals are set once, when read, like top-level expressions (earlier values,
   calls); locals at every entry of their block; static locals once, when the body is checked. */
int x = 5;
int y = x + 1;
double d = 7;
char c = 300;
int counter;
int bump() { counter = counter + 1; return counter * 10; }
int z = bump(), w = bump() + x, *pz = &z;
char *p = "abc";
char s4[4] = "abc"; /* expect error 401: Unknown type */
y * 100 + c /* expect: 644 */
d / 2 /* expect: 3.5 */
z * 1000 + w * 10 + *pz + counter /* expect: 10262 */
p[2] + s4[0] /* expect: 99 */
x = 50 /* expect: 50 */
y /* expect: 6 */
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

void main() { }
