/* Script functions and the interpreter's own built-ins called inside each other's arguments. */
int twice(x) int x; { return x * 2; }
int pick(a, b) int a, b; { return max(a, b) - min(a, b); }
max(twice(3), 5) * 10 + min(twice(3), 5) /* expect: 65 */
twice(max(2, 9)) /* expect: 18 */
twice(min(twice(2), max(twice(5), 1))) /* expect: 8 */
max(min(1, twice(1)), min(twice(2), pick(3, 10))) /* expect: 4 */
min(-1, 1) + max(-1, -2) * 10 /* expect: -11 */
/* malloc blocks follow each other; free gives nothing back; realloc copies */
malloc(10) - malloc(10) /* expect: -10 */
int blocks()
{
    char *p, *q, *r;
    p = malloc(2);
    p[0] = 'x';
    p[1] = 'y';
    q = realloc(p, twice(1));
    free(q);
    r = malloc(twice(1));
    return (q[0] - 'x') * 1000 + (q[1] - 'y') * 100 + (q - p) * 10 + (r - q);
}
blocks() /* expect: 22 */
int squares(n) int n;
{
    int *t;
    int i, s;
    t = malloc(n * sizeof(int));
    for (i = 0; i < n; i++)
        t[i] = i * i;
    for (s = i = 0; i < n; i++)
        s = s + *t++;
    return s;
}
squares(min(4, twice(5))) /* expect: 14 */

void main() { }
