/* Binary and unary operators: precedence, left associativity, 32-bit wrap-around, truncating
   division, shifts modulo 32, signed comparisons, mixed integer and floating operands. */
2 * 3 + 4 * 5 - 6 / 2 /* expect: 23 */
100 / 10 / 5 /* expect: 2 */
10 - (4 - 3) /* expect: 9 */
1 << 2 + 1 /* expect: 8 */
6 & 3 | 8 ^ 1 /* expect: 11 */
1 | 2 ^ 3 & 4 /* expect: 3 */
1 + 2 < 4 == 1 /* expect: 1 */
5 > 3 > 0 /* expect: 1 */
(-5 <= -5) * 100 + (-1 < 1) * 10 + (3 >= 4) /* expect: 110 */
2147483647 + 1 /* expect: -2147483648 */
-2147483647 - 1 - 1 /* expect: 2147483647 */
65536 * 65536 /* expect: 0 */
(-2147483647 - 1) / -1 /* expect: -2147483648 */
-7 / 2 * 10 + 7 / -2 /* expect: -33 */
1 << 33 /* expect: 2 */
1 << 31 /* expect: -2147483648 */
-8 >> 1 /* expect: -4 */
-1 >> 31 /* expect: -1 */
256 >> 36 /* expect: 16 */
/* unsigned values use the same signed operations */
unsigned u;
u = -1 /* expect: -1 */
(u > 1) * 10 + u / 2 /* expect: 0 */
1 + 2.5 /* expect: 3.5 */
2.5 + 1 /* expect: 3.5 */
7 / 2.0 + 7.0 / 2 /* expect: 7 */
(1.5 < 2) * 10 + (1 == 1.0) /* expect: 11 */
1e300 * 1e300 /* expect: inf */
- -3 + -(2 - 5) * 10 + +4 * 100 /* expect: 433 */
-2.5 * 2 /* expect: -5 */
!0 + !7 * 10 /* expect: 1 */
!0.0 * 10 + !0.5 /* expect: 10 */
char *np;
!np * 10 + !"text" /* expect: 10 */
void main() { }
