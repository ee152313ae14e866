/* Statements out of place are reported when the body is checked, and the body still runs;
   running it must not disturb later bodies. */
int ran;
int labels(x) int x;
{
    ran++;
    if (x) goto nowhere;
    case 3: x = 1; /* expect error 200: Bad syntax 'case' */
    default: x = x + 2; /* expect error 200: Bad syntax 'default' */
    return x;
} /* expect error 402 line 7: Unknown label 'nowhere' */
int cont(x) int x;
{
    x++;
    continue; /* expect error 200: Bad syntax 'continue' */ /* expect error 500: Expected ';' */
    return x;
}
int not_block(x) int x;
{
    int r; r = 1;
    switch (x)
        r = 2; /* expect error 500: Expected '{' */
    r = r + 10;
    return r;
}
ran /* expect: 0 */
labels(0) * 10 + ran /* expect: 31 */
cont(0) /* expect: 1 */ /* expect error 200 line 15: Bad syntax 'continue' */ /* expect error 500 line 15: Expected ';' */
not_block(0) * 100 + not_block(2) /* expect: 1111 */
int gotos(x) int x;
{
    if (x == 1) goto later;
    if (x == 2) goto missing; if (x == 3) goto missing; /* expect error 402: Unknown label 'missing' */ /* expect error 402: Unknown label 'missing' */
    return 0;
later:
    return 1;
}
gotos(1) /* expect: 1 */
int stray() { break; return 1; } /* expect error 200: Bad syntax 'break' */
stray() /* expect: 1 */
int after() { int i, n; n = 0; for (i = 0; i < 3; i++) { n = n + 1; n = n + 10; } return n; }
after() /* expect: 33 */
stray() + after() /* expect: 34 */
int skipped()
{
    int k = 1, inner(x) 5 + (k = 3); /* expect error 602: Can't have nested functions */ /* expect error 500: Expected '{' */
    return k;
}
skipped() /* expect: 3 */
int fuzzed()
{
    int k = 0, e(x) 1 + (k; if (k) k = 2; /* expect error 602: Can't have nested functions */ /* expect error 500: Expected '{' */ /* expect error 200: Bad syntax ';' */ /* expect error 200: Bad syntax 'if' */ /* expect error 500: Expected ';' */ /* expect error 500: Expected ';' */ /* expect error 305: Bad lvalue */
}
fuzzed() /* expect: 0 */ /* expect error 200 line 52: Bad syntax ';' */ /* expect error 200 line 52: Bad syntax 'if' */ /* expect error 500 line 52: Expected ';' */ /* expect error 500 line 52: Expected ';' */ /* expect error 305 line 52: Bad lvalue */
void main() { }
