/* Calls: recursion (each call has its own parameters and locals), return from inside blocks, 0 of its
   type from a function that ends without return, no value from a void call; objects reached through
   pointer parameters and results; script functions and built-ins inside each other's arguments. */
int fact(n) int n; { int r; if (n <= 1) return 1; r = n * fact(n - 1); return r; }
int fib(n) int n; { if (n < 2) return n; return fib(n - 1) + fib(n - 2); }
fact(12) + fib(15) /* expect: 479002210 */
int frames(n) int n; { int mine; char tag; mine = n * 100; tag = 'a' + n; if (n > 0) frames(n - 1); return mine + n + (tag - 'a') * 10000; }
frames(3) /* expect: 30303 */
int add(a, b) int a, b; { return a + b; }
add(add(1, 2), add(add(3, 4), 5)) * 10 + add(1, 2) * add(3, 4) /* expect: 171 */
double power(x, n) double x; int n; { if (n == 0) return 1.0; return x * power(x, n - 1); }
power(1.5, 4) /* expect: 5.0625 */
int from_block(x) int x; { { { if (x > 2) { return x * 2; } } x = x + 1; } return x; }
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
falls_off() * 10 + falls_off_char() + 1 + falls_off_double() /* expect: 1 */
char *word() { return "abc"; }
int first_of(s) char *s; { return *s; }
word()[1] * 1000 + first_of(word()) /* expect: 98097 */
max(add(3, 3), 5) * 10 + min(add(3, 3), 5) + add(max(2, 9), 0) * 100 /* expect: 965 */
void swap(a, b) int *a, *b; { int t; t = *a; *a = *b; *b = t; }
int x, y;
(x = 1) * 10 + (y = 2) /* expect: 12 */
swap(&x, &y)
x * 10 + y /* expect: 21 */
struct Node { int val; struct Node *next; char tag; };
struct Node *push(head, v) struct Node *head; int v;
{ struct Node *n; n = malloc(sizeof(struct Node)); n->val = v; n->next = head; n->tag = 'a' + v; return n; }
int sum(n) struct Node *n; { int s; for (s = 0; n; n = n->next) s = s * 10 + n->val; return s; }
int build()
{
    struct Node *list;
    list = push(push(push(0, 1), 2), 3);
    list->next->val++;
    return sum(list) * 1000 + list->next->next->tag;
}
build() /* expect: 331098 */
struct Out { short s; int list[3]; } o;
int *elem(p, i) struct Out *p; int i; { p->s = sizeof(*p); return &p->list[i]; }
(*elem(&o, 1) = 9) * 10000 + o.list[1] * 100 + o.s /* expect: 90914 */
void main() { fact(6); }
