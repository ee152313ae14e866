/* Statements out of place are reported when the body is checked, and the body still runs: case
   and default outside a switch, continue (not a statement of the language), a switch body that
   is not a block (it never runs), a goto to a label that is never defined (reported at the goto
   when the body ends, once per goto). */
int ran;
int labels(x) int x;
{
    ran++;
    if (x) goto nowhere;
    case 3: x = 1; /* expect error 200: Bad syntax 'case' */
    default: x = x + 2; /* expect error 200: Bad syntax 'default' */
    return x;
} /* expect error 402 line 9: Unknown label 'nowhere' */
int cont(x) int x;
{
    x++;
    continue; /* expect error 200: Bad syntax 'continue' */ /* expect error 500: Expected ';' */
    return x;
}
int not_block(x) int x;
{
    int r;
    r = 1;
    switch (x)
        r = 2; /* expect error 500: Expected '{' */
    r = r + 10;
    return r;
}
ran /* expect: 0 */
labels(0) * 10 + ran /* expect: 31 */
cont(0) /* expect: 1 */ /* expect error 200 line 17: Bad syntax 'continue' */ /* expect error 500 line 17: Expected ';' */
not_block(0) * 100 + not_block(2) /* expect: 1111 */
int gotos(x) int x;
{
    if (x == 1) goto later;
    if (x == 2) goto missing; /* expect error 402: Unknown label 'missing' */
    if (x == 3) goto missing; /* expect error 402: Unknown label 'missing' */
    return 0;
later:
    return 1;
}
gotos(1) /* expect: 1 */

void main() { }
