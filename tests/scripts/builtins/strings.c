/* Strings, memory and characters: results used as pointers into the string, strtok across calls,
   the in-place rows, comparisons (-1, 0 or 1, bytes unsigned), the counted rows at their limits;
   memmove and memcpy with overlap both ways, memset above 255, memchr and memcmp over bytes that
   are not text; itoa/ltoa/ultoa in radix 2 to 36, atoi/atol at the 32-bit limits, atof, abs; the
   C locale's classes (none above 127). is(p, s): the offset of p in buf when buf holds s, else -1. */
char buf[40], line[40], b[16], c[16], hi, *p;
long big;
int is(q, s) char *q, *s; { if (strcmp(buf, s)) return -1; return q - buf; }
is(strcpy(buf, "key=value=last"), "key=value=last") /* expect: 0 */
p = strchr(buf, '=') /* expect: 65539 */
*(p + 1) * 1000 + strrchr(buf, '=') - buf /* expect: 118009 */
(strstr(buf, "value") - buf) * 100 + (strstr(buf, "") - buf) * 10 + strchr(buf, 0) - buf /* expect: 414 */
strstr(buf, "nope") + strchr(buf, 'z') /* expect: 0 */
(*p = 0) + strlen(p + 1) /* expect: 10 */
/* strtok: later calls pass 0, runs of delimiters count as one, the end stays the end */
strcpy(line, ",,alpha, beta,,gamma,") - line + strtok(line, ", ") - line /* expect: 2 */
strcmp(strtok(0, ", "), "beta") + strcmp(strtok(0, ", "), "gamma") /* expect: 0 */
strtok(0, ", ") + strtok(0, ", ") + strcmp(line + 2, "alpha") + line[7] + strtok(" ; ", "; ") /* expect: 0 */
is(strcat(strcat(strcpy(buf, "ab"), "cd"), ""), "abcd") + is(strncat(buf, "efgh", 2), "abcdef") /* expect: 0 */
is(strncpy(buf, "xy", 5), "xy") + buf[2] + buf[3] + buf[4] + buf[5] /* expect: 102 */
is(strncpy(buf, "uvwxyz", 3), "uvw") /* expect: 0 */
strcmp("abc", "abd") * 1000 + strcmp("abd", "abc") * 100 + strcmp("ab", "abc") * 10 + strcmp("\x80", "a") /* expect: -909 */
strncmp("abcX", "abcY", 3) + strncmp("x", "y", 0) + strncmp("abcX", "abcY", 4) * 10 + strncmp("ab", "abc", 5) /* expect: -11 */
stricmp("HeLLo", "hello") + stricmp("apple", "BANANA") * 10 + stricmp("_", "A") * 100 + strspn("  \tword", " \t") /* expect: -107 */
strcpy(buf, "Mixed Case 42") - buf /* expect: 0 */
is(strupr(buf), "MIXED CASE 42") + is(strlwr(buf), "mixed case 42") + is(strrev(buf), "24 esac dexim") /* expect: 0 */
is(strrev(strcpy(buf, "ab")), "ba") + strlen(strrev("")) + is(strset(buf, '*'), "**") + buf[2] /* expect: 0 */
/* memory */
strcpy(b, "0123456789") - memmove(b + 2, b, 5) + strcmp(b, "0101234789") /* expect: -2 */
strcpy(b, "0123456789") - memmove(b, b + 3, 5) + strcmp(b, "3456756789") /* expect: 0 */
strcpy(b, "0123456789") - memcpy(b + 1, b, 4) + strcmp(b, "0012356789") /* expect: -1 */
memmove(b, "xyz", 0) - b + b[0] /* expect: 48 */
memset(memset(b, 0, 16) + 4, 300, 3) - b /* expect: 4 */
b[3] + b[4] + b[6] + b[7] + (b[5] = -1) /* expect: 87 */
(memchr(b, 44, 16) - b) * 1000 + (memchr(b, 255, 16) - b) * 100 + (memchr(b, -1, 16) - b) * 10 + memchr(b + 8, 0, 8) - b /* expect: 4558 */
memchr(b, 44, 4) + memcmp(memcpy(c, b, 16), b, 16) /* expect: 0 */
(c[15] = 1) + memcmp(b, c, 16) * 10 + memcmp(c, b, 16) * 100 + memcmp(b, c, 15) + memcmp(b, c, 0) /* expect: 91 */
(c[0] = -128) + memcmp(c, b, 1) /* expect: -127 */
/* conversions */
strcmp(itoa(-5, buf, 10), "-5") + strcmp(itoa(-5, buf, 16), "fffffffb") + strlen(itoa(-1, buf, 2)) /* expect: 32 */
strcmp(itoa(-2147483647 - 1, buf, 10), "-2147483648") + strcmp(itoa(0, buf, 10), "0") + strcmp(itoa(35, buf, 36), "z") /* expect: 0 */
strlen(itoa(123, buf, 37)) + strlen(itoa(123, buf, 1)) /* expect: 0 */
strcmp(ltoa(-255, buf, 16), "ffffff01") + strcmp(ltoa(-255, buf, 10), "-255") /* expect: 0 */
big = 4000000000 /* expect: -294967296 */
strcmp(ultoa(big, buf, 10), "4000000000") + strcmp(ultoa(-1, buf, 10), "4294967295") + strcmp(ultoa(-1, buf, 16), "ffffffff") /* expect: 0 */
atoi("  -42xyz") * 100 + atoi("+17") + atoi("x1") + atoi("\t\n 9") /* expect: -4174 */
atoi("99999999999") /* expect: 2147483647 */
atoi("-99999999999") /* expect: -2147483648 */
atol("2147483647") + atol("- 5") /* expect: 2147483647 */
atof("2.5e1") + atof("  -0.125 rest") + atof("1") / 4 + atof("abc") /* expect: 25.125 */
abs(-7) + abs(7) + labs(-100000) /* expect: 100014 */
abs(-2147483647 - 1) /* expect: -2147483648 */
/* characters */
isalpha('a') + isalpha('Z') + isalpha('5') + isalpha('_') + (isdigit('0') + isdigit('9') + isdigit('a') + isdigit(-1)) * 10 /* expect: 22 */
isalnum('x') + isalnum('7') + isalnum(' ') + isalnum('-') + (isupper('Q') + isupper('q') + islower('q') + islower('Q')) * 10 /* expect: 22 */
isspace(' ') + isspace('\t') + isspace('\n') + isspace(11) + isspace(12) + isspace('\r') + (isspace(0) + isspace('x') + isspace(160)) * 10 /* expect: 6 */
isprint(' ') + isprint('~') + isprint(127) + isprint(31) + (isgraph(' ') + isgraph('!') + isgraph('~') + isgraph(127)) * 10 /* expect: 22 */
isascii(0) + isascii(127) + isascii(128) + isascii(-1) /* expect: 2 */
hi = 233 /* expect: -23 */
isalpha(hi) + isprint(hi) + isalpha(233) + isupper(201) + isalpha(65 + 256) /* expect: 0 */
tolower('A') * 1000000 + tolower('z') * 1000 + tolower('@') /* expect: 97122064 */
toupper('a') * 1000 + toupper('{') /* expect: 65123 */
toupper(hi) * 1000 + toupper(-1) /* expect: -23001 */
tolower(201) /* expect: 201 */
void main() {}
