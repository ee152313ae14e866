/* Objects reached through pointer parameters and results: the callee reads and writes the
   caller's data. */
void swap(a, b) int *a, *b; { int t; t = *a; *a = *b; *b = t; }
int x;
int y;
x = 1 /* expect: 1 */
y = 2 /* expect: 2 */
swap(&x, &y)
x * 10 + y /* expect: 21 */
struct Node { int val; struct Node *next; char tag; };
struct Node *push(head, v) struct Node *head; int v;
{
    struct Node *n;
    n = malloc(sizeof(struct Node));
    n->val = v;
    n->next = head;
    n->tag = 'a' + v;
    return n;
}
int sum(n) struct Node *n;
{
    int s;
    for (s = 0; n; n = n->next)
        s = s * 10 + n->val;
    return s;
}
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
*elem(&o, 1) = 9 /* expect: 9 */
o.list[1] * 100 + o.s /* expect: 914 */

void main() { }
