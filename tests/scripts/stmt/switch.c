/* switch: fall-through, default anywhere, duplicate values (the later label wins), labels written
   as constant expressions, enum names (also right before the ':') and macros, no match without
   default, break in a loop inside a switch, return from inside, nested switches. */
#define NINE 9
enum Color { RED, GREEN = 4, BLUE };
int sw(x) int x;
{
    int r;
    r = 0;
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
sw(1) * 10 + sw(2) /* expect: 55 */
sw(3) * 1000 + sw(4) /* expect: 134104 */
sw(5) * 1000 + sw(9) /* expect: 100099 */
sw(7) * 1000 + sw(42) /* expect: 70069 */
int color(c) int c;
{
    int n;
    n = 0;
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
color(0) * 100 + color(6) /* expect: 1060 */
color(5) * 100 + color(4) /* expect: 3001 */
color(-1) + color('a') + color(2) /* expect: 90 */
int loop_in_switch(x) int x;
{
    int n, i;
    n = i = 0;
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
int nested(a, b) int a, b;
{
    int r;
    r = 0;
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
nested(1, 1) * 1000 + nested(1, 2) /* expect: 111112 */
nested(1, 3) * 1000 + nested(2, 0) /* expect: 100099 */
nested(2, 5) * 10 + nested(3, 0) /* expect: 40 */
int classes()
{
    char *p;
    int digits, others;
    digits = others = 0;
    for (p = "a1b22c333"; *p; p++)
        switch (*p) {
        case '1': case '2': case '3': digits++; break;
        default: others++;
        }
    return digits * 10 + others;
}
classes() /* expect: 63 */

void main() { }
