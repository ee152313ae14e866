/* Conversions: itoa of negative numbers in radix 10 and 16, ultoa above 2^31, radixes out of
   range, atoi/atol at the 32-bit limits, atof as a double, abs of the most negative int. */
char buf[40];
long big;
strcmp(itoa(-5, buf, 10), "-5") /* expect: 0 */
strcmp(itoa(-5, buf, 16), "fffffffb") /* expect: 0 */
strlen(itoa(-1, buf, 2)) /* expect: 32 */
strcmp(itoa(-2147483647 - 1, buf, 10), "-2147483648") /* expect: 0 */
strcmp(itoa(0, buf, 10), "0") + strcmp(itoa(35, buf, 36), "z") /* expect: 0 */
strlen(itoa(123, buf, 37)) + strlen(itoa(123, buf, 1)) /* expect: 0 */
strcmp(ltoa(-255, buf, 16), "ffffff01") + strcmp(ltoa(-255, buf, 10), "-255") /* expect: 0 */
big = 4000000000 /* expect: -294967296 */
strcmp(ultoa(big, buf, 10), "4000000000") /* expect: 0 */
strcmp(ultoa(-1, buf, 10), "4294967295") + strcmp(ultoa(-1, buf, 16), "ffffffff") /* expect: 0 */
atoi("  -42xyz") /* expect: -42 */
atoi("+17") + atoi("x1") + atoi("\t\n 9") /* expect: 26 */
atoi("99999999999") /* expect: 2147483647 */
atoi("-99999999999") /* expect: -2147483648 */
atol("2147483647") /* expect: 2147483647 */
atol("- 5") /* expect: 0 */
atof("2.5e1") /* expect: 25 */
atof("  -0.125 rest") /* expect: -0.125 */
atof("1") / 4 + atof("abc") /* expect: 0.25 */
abs(-7) + abs(7) + labs(-100000) /* expect: 100014 */
abs(-2147483647 - 1) /* expect: -2147483648 */
void main() {}
