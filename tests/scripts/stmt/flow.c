/* Control flow: if/else (else binds to the nearest if; conditions of every type), while and for
   (order of parts, empty parts, break from the innermost loop, return inside), goto (forwards,
   backwards, out of loops and switches, into a loop body, same-named labels elsewhere), switch
   (fall-through, default anywhere, the later duplicate label wins, constant, enum and macro labels, nesting). */
int trace;
int mark(d) int d; { trace = trace * 10 + d; return 1; }
int nested(a, b) int a, b;
{
    int r; r = 0;
    if (a) if (b) r = 1; else r = 2; else r = 3;
    if (b) { r = r + 100; } else { r = r + 200; }
    return r;
}
nested(1, 1) * 1000 + nested(1, 0) /* expect: 101202 */
nested(0, 1) * 1000 + nested(0, 0) /* expect: 103203 */
int branches(x, d, p) int x; double d; char *p;
{ trace = 0; if (x) mark(1); else if (d) mark(2); else mark(3); if (p) mark(4); mark(5); return trace; }
branches(1, 0.0, "s") /* expect: 145 */
branches(0, 0.25, 0) * 100 + branches(0, 0.0, 0) /* expect: 2535 */
int orders(loop) int loop;
{
    int i; trace = i = 0;
    if (loop) while (mark(5) * (i < 2)) { mark(6); i++; }
    else for (i = mark(1); mark(2) * (i < 3); i = i + mark(4)) mark(3);
    return trace;
}
orders(0) /* expect: 12342342 */
orders(1) /* expect: 56565 */
int empty_parts()
{
    int i, n; n = 5;
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
int jumps(x) int x;
{
    int n, s; n = s = 0;
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
    for (i = 0; i < 10; i++) for (j = 0; j < 10; j++) if (i * j == 12) goto done;
    return -1;
done:
    return i * 10 + j;
}
int into_loop() { int i, n; n = 0; goto inside; for (i = 0; i < 3; i++) { n = n + 1; inside: n = n + 100; } return n; }
int out_of_switch()
{
    int k; k = 0;
    while (1) { switch (k) { case 0: k = 5; { { goto end; } } } k = 1000; }
end:
    return k;
}
out_of_loops() * 10000 + into_loop() * 10 + out_of_switch() /* expect: 261005 */
int inner(n) int n; { int k; k = 0; again: if (++k < n) goto again; return k; }
int outer()
{
    int i, s; s = 0;
    for (i = 1; i <= 3; i++) { s = s * 10 + inner(i); if (s > 1000) goto again; }
    return s;
again:
    return -1;
}
outer() /* expect: 123 */
/* A goto naming a variable of the body's outermost block, or a function, is reported once, when
   the body is checked; running it does not jump. */
int not_labels()
{
    int v; v = 1;
    goto v; /* expect error 402: Unknown label 'v' */
    v = v + 10;
    goto outer; /* expect error 402: Unknown label 'outer' */
    return v + 100;
}
not_labels() /* expect: 111 */
#define NINE 9
enum Color { RED, GREEN = 4, BLUE };
int sw(x) int x;
{
    int r; r = 0;
    switch (x) {
    case 1:
    case 2: r = 5; break;
    case 3: r = 30;
    case 4: r = r + 4;
    case GREEN+1: r = r + 100; break;
    case 3 * 3: r = 9;
    case NINE: r = 99; break;
    default: r = -1;
    case 7: r = r + 70;
    }
    return r;
}
sw(1) * 10 + sw(2) + sw(3) * 1000 /* expect: 134055 */
sw(4) /* expect: 104 */
sw(5) * 1000 + sw(9) /* expect: 100099 */
sw(7) * 1000 + sw(42) /* expect: 70069 */
int color(c) int c;
{
    int n; n = 0;
    switch (c) {
    case RED: return 10;
    case 2+GREEN: return 60;
    case BLUE : return 30;
    case -1: return -10;
    case 'a': return 97;
    case 2: n = 2;
    }
    return n + 1;
}
color(0) * 100 + color(6) + color(5) * 10000 /* expect: 301060 */
color(4) * 1000 + color(-1) + color('a') + color(2) /* expect: 1090 */
int loop_in_switch(x) int x;
{
    int n, i; n = i = 0;
    switch (x) {
    case 1:
        while (1) { i++; if (i == 3) break; }
        for (;;) break;
        n = i * 10;
    case 2:
        n = n + 1;
        break;
        n = 1000;
    }
    return n;
}
loop_in_switch(1) * 10 + loop_in_switch(2) /* expect: 311 */
int nest_switch(a, b) int a, b;
{
    int r; r = 0;
    switch (a) {
    case 1:
        switch (b) { case 1: r = 11; break; case 2: r = 12; }
        r = r + 100;
        break;
    case 2:
        for (;;) {
            switch (b) { case 0: return 99; }
            if (++r == 4) return r;
        }
    }
    return r;
}
nest_switch(1, 1) * 1000 + nest_switch(1, 2) /* expect: 111112 */
nest_switch(1, 3) * 1000 + nest_switch(2, 0) /* expect: 100099 */
nest_switch(2, 5) * 10 + nest_switch(3, 0) /* expect: 40 */
int classes()
{
    char *p;
    int digits, others; digits = others = 0;
    for (p = "a1b22c333"; *p; p++) switch (*p) { case '1': case '2': case '3': digits++; break; default: others++; }
    return digits * 10 + others;
}
classes() /* expect: 63 */
void main() { }
