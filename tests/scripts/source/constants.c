/* Numeric, character and string constants as the lexer reads them. */
.5 /* expect: 0.5 */
1e3 /* expect: 1000 */
2.5e-1 /* expect: 0.25 */
010 + 09 /* expect: 17 */
/* A floating constant is the double nearest its decimal value, as C reads it: its exponent may
   have a sign, its integer part is decimal even after a leading 0, and beyond the double range it
   is infinite or 0. */
1e+5 + 2.5E+1 /* expect: 100025 */
012.5 + 09.5 + 00.25e1 /* expect: 24.5 */
0.3 == 3.0 / 10 /* expect: 1 */
0.1 * 3 == 0.30000000000000004 /* expect: 1 */
0.1 + 0.2 == 0.3 /* expect: 0 */
.1e1 + 1.e1 + 2e + 3e- /* expect: 16 */
4.9406564584124654e-324 > 0 /* expect: 1 */
1.7976931348623157e308 * 1e-308 /* expect: 1.79769 */
1e309 + 0.01e311 /* expect: inf */
(1e-400 == 0) + (1000000e-330 == 0) /* expect: 2 */
0x1F + 0XaB /* expect: 202 */
0xFFFFFFFF /* expect: -1 */
4294967296 + 7 /* expect: 7 */
12L + 3l /* expect: 15 */
sizeof(12L) /* expect: 4 */
'A' + '\101' + '\x41' /* expect: 195 */
'\q' /* expect: 92 */
'\a' + '\b' + '\c' + '\e' /* expect: 45 */
'\f' + '\n' + '\r' + '\t' + '\v' /* expect: 55 */
'\'' + '\"' + '\\' /* expect: 165 */
'\x' /* expect: 0 */
'\777' /* expect: 511 */
'\377' /* expect: 255 */
'\0' /* expect: 0 */
/* An escape ends after three octal or two hexadecimal digits; the rest stays in the string. */
char *s = "\1234\x414";
s[0] + s[1] * 1000 /* expect: 52083 */
s[2] + s[3] * 1000 + s[4] /* expect: 52065 */
/* Only the low byte of an escape is stored; an escaped NUL is kept. */
char *z = "\400x\0y";
z[0] + z[1] + z[2] + z[3] + z[4] /* expect: 241 */
"\q"[0] + "\q"[1] /* expect: 92 */
"say \"hi\""[4] /* expect: 34 */
/* Nothing inside a string or a character constant is a comment or an operator. */
"/* % */"[3] /* expect: 37 */
'/' /* expect: 47 */
/* A line end inside a string is stored. */
char *nl = "a
b";
nl[1] + nl[2] /* expect: 108 */
/* '&' and '*' are binary after an operand, unary before one. */
int a = 6;
int b = 3;
int *p = &b;
a&b /* expect: 2 */
a-*p /* expect: 3 */
a**p /* expect: 18 */
*p&a /* expect: 2 */
int main() { return 0; }
