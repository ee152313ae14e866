/* Values with no number of their own: what is left of a rejected definition run as top-level lines, a
   missing operand, a function's name as a value, and a variable or call where the checking pass needs a
   constant. None may show bits of the interpreter's own addresses: they are 0, or reported. */
int f(int a) { return a; }
/* expect error 200 line 4: Bad syntax 'int' */
/* expect error 301 line 4: Bad argument */
/* expect error 500 line 4: Expected '{' */
/* expect: 0 */
/* expect error 200 line 4: Bad syntax '{' */
/* expect: 0 */
/* expect error 200 line 4: Bad syntax 'return' */
/* expect: 0 */
/* expect error 401 line 4: Unknown type */
/* expect: 0 */
/* expect error 200 line 4: Bad syntax '}' */
/* expect: 0 */
int x;
int one() { return 1; }
one /* expect: 0 */
(x = one) + one + 5 /* expect: 5 */
int name_value() { return one; }
name_value() /* expect: 0 */
int missing()
{
    x = 3;
done:
    return ); /* expect error 500: Expected ';' */
}
missing() /* expect: 0 */ /* expect error 500 line 27: Expected ';' */
int empty_condition() { if () return 7; return 8; }
empty_condition() /* expect: 8 */
int n;
int sizes[n]; /* expect error 700: Non integral expression */ /* expect error 306: Bad array size */
int fixed[sizeof n + 1];
struct T { int a; } none[0]; /* expect error 306: Bad array size */
sizeof(sizes) + sizeof(fixed) * 10 + sizeof(none) /* expect: 200 */
enum E { A = n, B }; /* expect error 700: Non integral expression */
A * 10 + B /* expect: 1 */
int pick(k) int k;
{
    switch (k) {
    case n + 0: /* expect error 700: Non integral expression */
        return 1;
    case strlen("ab"): /* expect error 700: Non integral expression */
        return 2;
    case sizeof(n): return 4;
    }
    return 0;
}
pick(1) + pick(2) + pick(4) /* expect: 4 */
void main() { }
