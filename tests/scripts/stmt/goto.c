/* goto and labels: forwards, backwards, out of nested loops and switches, into a loop body (the
   rest of the body runs once, the loop is not resumed); a goto in a called function stays in
   that call. */
int jumps(x) int x;
{
    int n, s;
    n = s = 0;
    if (x == 2) goto skip;
again:
    s = s + ++n;
    if (n < 4) goto again;
    if (x == 1) { x = 0; goto again; }
skip:
    return s + 100;
}
jumps(0) * 10000 + jumps(1) * 10 + jumps(2) /* expect: 1101250 */
int out_of_loops()
{
    int i, j;
    for (i = 0; i < 10; i++)
        for (j = 0; j < 10; j++)
            if (i * j == 12) goto done;
    return -1;
done:
    return i * 10 + j;
}
out_of_loops() /* expect: 26 */
int into_loop()
{
    int i, n;
    n = 0;
    goto inside;
    for (i = 0; i < 3; i++) {
        n = n + 1;
inside:
        n = n + 100;
    }
    return n;
}
into_loop() /* expect: 100 */
int out_of_switch()
{
    int k;
    k = 0;
    while (1) {
        switch (k) { case 0: k = 5; { { goto end; } } }
        k = 1000;
    }
end:
    return k;
}
out_of_switch() /* expect: 5 */
int inner(n) int n;
{
    int k;
    k = 0;
again:
    if (++k < n) goto again;
    return k;
}
int outer()
{
    int i, s;
    s = 0;
    for (i = 1; i <= 3; i++) {
        s = s * 10 + inner(i);
        if (s > 1000) goto again;
    }
    return s;
again:
    return -1;
}
outer() /* expect: 123 */
/* A goto naming a variable of the body's outermost block, or a function, is reported once, when
   the body is checked; running it does not jump. */
int not_labels()
{
    int v;
    v = 1;
    goto v; /* expect error 402: Unknown label 'v' */
    v = v + 10;
    goto outer; /* expect error 402: Unknown label 'outer' */
    return v + 100;
}
not_labels() /* expect: 111 */

void main() { }
