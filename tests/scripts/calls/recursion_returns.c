/* Recursion (each call has its own parameters and locals) and return values: a return ends the
   call at once, also from inside blocks; a function that ends without return gives 0 of its
   return type; a void call gives no value (a top-level call prints nothing). */
int fact(n) int n;
{
    int r;
    if (n <= 1) return 1;
    r = n * fact(n - 1);
    return r;
}
fact(5) /* expect: 120 */
fact(12) /* expect: 479001600 */
int fib(n) int n; { if (n < 2) return n; return fib(n - 1) + fib(n - 2); }
fib(15) /* expect: 610 */
int frames(n) int n;
{
    int mine;
    char tag;
    mine = n * 100;
    tag = 'a' + n;
    if (n > 0) frames(n - 1);
    return mine + n + (tag - 'a') * 10000;
}
frames(3) /* expect: 30303 */
int add(a, b) int a, b; { return a + b; }
add(add(1, 2), add(add(3, 4), 5)) * 10 + add(1, 2) * add(3, 4) /* expect: 171 */
double power(x, n) double x; int n; { if (n == 0) return 1.0; return x * power(x, n - 1); }
power(1.5, 4) /* expect: 5.0625 */
int from_block(x) int x;
{
    { { if (x > 2) { return x * 2; } } x = x + 1; }
    return x;
}
from_block(3) * 10 + from_block(1) /* expect: 62 */
int counter;
void bump() { counter = counter + 1; }
void bump_twice() { bump(); bump(); return; counter = 100; }
bump()
bump_twice()
counter /* expect: 3 */
int falls_off() { int x; x = 1; }
double falls_off_double() { double d; d = 2.5; }
char falls_off_char() { }
falls_off() * 10 + falls_off_char() + 1 /* expect: 1 */
falls_off_double() /* expect: 0 */
char *word() { return "abc"; }
int first_of(s) char *s; { return *s; }
word()[1] * 1000 + first_of(word()) /* expect: 98097 */

void main()
{
    fact(6);
}
