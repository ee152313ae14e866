/* Reports raised while a top-level line is evaluated name that line, also when the last operand
   of the line is what causes them. */
int zero;
double d;
1 + 2 / zero + 0 /* expect: 1 */ /* expect error 302: Bad operand / */
7 / zero /* expect: 0 */ /* expect error 302: Bad operand / */
d = 1.5 /* expect: 1.5 */
d << 1 /* expect: 1.5 */ /* expect error 701: Non integral operand */
3 = 4 /* expect: 3 */ /* expect error 305: Bad lvalue */
4 /* expect: 4 */

void main() { }
