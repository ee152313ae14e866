/* Numeric, character and string constants as the lexer reads them. */
.5 + 1e3 + 2.5e-1 /* expect: 1000.75 */
010 + 09 /* expect: 17 */
/* A floating constant is the double nearest its decimal value, as C reads it: its exponent may
   have a sign, its integer part is decimal even after a leading 0, and beyond the double range it
   is infinite or 0. */
1e+5 + 2.5E+1 /* expect: 100025 */
012.5 + 09.5 + 00.25e1 /* expect: 24.5 */
(0.3 == 3.0 / 10) * 100 + (0.1 * 3 == 0.30000000000000004) * 10 + (0.1 + 0.2 == 0.3) /* expect: 110 */
.1e1 + 1.e1 + 2e + 3e- /* expect: 16 */
4.9406564584124654e-324 > 0 /* expect: 1 */
1.7976931348623157e308 * 1e-308 /* expect: 1.79769 */
1e309 + 0.01e311 /* expect: inf */
(1e-400 == 0) + (1000000e-330 == 0) /* expect: 2 */
0x1F + 0XaB + 0xFFFFFFFF * 1000 /* expect: -798 */
4294967296 + 7 + (12L + 3l) * 10 + sizeof(12L) * 1000 /* expect: 4157 */
'A' + '\101' + '\x41' /* expect: 195 */
'\q' * 1000 + '\a' + '\b' + '\c' + '\e' /* expect: 92045 */
('\f' + '\n' + '\r' + '\t' + '\v') * 1000 + '\'' + '\"' + '\\' /* expect: 55165 */
'\x' + '\0' + '\777' * 1000 + '\377' /* expect: 511255 */
/* An escape ends after three octal or two hexadecimal digits; the rest stays in the string. */
char *s = "\1234\x414";
s[0] + s[1] * 1000 /* expect: 52083 */
s[2] + s[3] * 1000 + s[4] /* expect: 52065 */
/* Only the low byte of an escape is stored; an escaped NUL is kept. */
char *z = "\400x\0y";
z[0] + z[1] + z[2] + z[3] + z[4] /* expect: 241 */
"\q"[0] + "\q"[1] + "say \"hi\""[4] * 1000 /* expect: 34092 */
/* Nothing inside a string or a character constant is a comment or an operator. */
"/* % */"[3] * 100 + '/' /* expect: 3747 */
/* A line end inside a string is stored. */
char *nl = "a
b";
nl[1] + nl[2] /* expect: 108 */
/* '&' and '*' are binary after an operand, unary before one. */
int a = 6;
int b = 3;
int *p = &b;
(a&b) * 1000 + (a-*p) * 100 + a**p + (*p&a) * 10000 /* expect: 22318 */
int main() { return 0; }
