/* if/else (an else binds to the nearest if; only the branch taken runs), while and for (order of
   initialisation, condition, body and step; empty parts; break ends the innermost loop; return
   leaves from inside loops). */
int trace;
int mark(d) int d; { trace = trace * 10 + d; return 1; }
int nested(a, b) int a, b;
{
    int r;
    r = 0;
    if (a)
        if (b) r = 1;
        else r = 2;
    else
        r = 3;
    if (b) { r = r + 100; } else { r = r + 200; }
    return r;
}
nested(1, 1) * 1000 + nested(1, 0) /* expect: 101202 */
nested(0, 1) * 1000 + nested(0, 0) /* expect: 103203 */
int branches(x, d, p) int x; double d; char *p;
{
    trace = 0;
    if (x) mark(1); else if (d) mark(2); else mark(3);
    if (p) mark(4);
    mark(5);
    return trace;
}
branches(1, 0.0, "s") /* expect: 145 */
branches(0, 0.25, 0) * 100 + branches(0, 0.0, 0) /* expect: 2535 */
int orders(loop) int loop;
{
    int i;
    trace = i = 0;
    if (loop)
        while (mark(5) * (i < 2)) { mark(6); i++; }
    else
        for (i = mark(1); mark(2) * (i < 3); i = i + mark(4))
            mark(3);
    return trace;
}
orders(0) /* expect: 12342342 */
orders(1) /* expect: 56565 */
int empty_parts()
{
    int i, n;
    n = 5;
    while (0) n = 100;
    for (n = n + 1; n < 0; n = 200) n = 300;
    i = 0;
    for (;;) { i++; if (i == 7) break; }
    for (; n < 9;) n++;
    for (i = 0; i < 5; i++) ;
    return i * 10 + n;
}
empty_parts() /* expect: 59 */
int find(target) int target;
{
    int i, j;
    for (i = 0; i < 10; i++) {
        for (j = 0; 1; j++) {
            if (j == 10) break;
            while (1) { if (i * 10 + j == target) return i * 100 + j; break; }
        }
        if (i == 8) break;
    }
    return -i;
}
find(47) * 10 + find(100) /* expect: 4062 */

void main() { }
