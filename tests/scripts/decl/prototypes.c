/* Prototypes: a declared function may be named in earlier bodies; calling it before its body is
   defined reports the missing body, afterwards the definition runs. Without a prototype, a call
   of a function defined further down reports its arguments. */
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
