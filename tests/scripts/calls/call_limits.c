/* Call limits: 31 calls may be in progress at once; a 32nd is refused with a report, gives 0 and
   its caller goes on. A call whose frame would reach the arena's bottom allocations is refused
   the same way. Afterwards the call stack is whole again. */
int depth;
int down(n) int n; { depth = n; if (n == 0) return 0; return down(n - 1) + 1; }
down(30) * 100 + depth /* expect: 3000 */
down(31) * 100 + depth /* expect: 3101 */ /* expect error 102 line 5: Memory overflow */
down(40) * 100 + depth /* expect: 3110 */ /* expect error 102 line 5: Memory overflow */
int level, reached, first_reach;
int big(n) int n;
{
    char buf[1000];
    if (++level > reached) reached = level;
    buf[999] = n;
    if (n > 0) big(n - 1);
    level--;
    return buf[999];
}
big(5) * 10 + reached /* expect: 56 */
big(100) /* expect: 100 */ /* expect error 102 line 15: Memory overflow */
(reached > 10) + (reached < 17) * 10 + level * 100 + (first_reach = reached) * 0 /* expect: 11 */
big(100 + (reached = 0)) /* expect: 100 */ /* expect error 102 line 15: Memory overflow */
reached == first_reach /* expect: 1 */
down(30) /* expect: 30 */
void main() { down(29); }
