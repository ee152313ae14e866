/* Strings: results used as pointers into the string, strtok across calls, the in-place rows,
   comparisons (-1, 0 or 1, bytes unsigned) and the counted rows at their limits. */
char buf[40];
char line[40];
char *p;
strcpy(buf, "key=value=last") /* expect: 65536 */
p = strchr(buf, '=') /* expect: 65539 */
*(p + 1) /* expect: 118 */
strrchr(buf, '=') - buf /* expect: 9 */
strstr(buf, "value") - buf /* expect: 4 */
strstr(buf, "") - buf /* expect: 0 */
strchr(buf, 0) - buf /* expect: 14 */
strstr(buf, "nope") + strchr(buf, 'z') /* expect: 0 */
*p = 0 /* expect: 0 */
strlen(p + 1) /* expect: 10 */
/* strtok: later calls pass 0, runs of delimiters count as one, the end stays the end */
strcpy(line, ",,alpha, beta,,gamma,") /* expect: 65576 */
strtok(line, ", ") - line /* expect: 2 */
strcmp(strtok(0, ", "), "beta") /* expect: 0 */
strcmp(strtok(0, ", "), "gamma") /* expect: 0 */
strtok(0, ", ") + strtok(0, ", ") /* expect: 0 */
strcmp(line + 2, "alpha") + line[7] /* expect: 0 */
strtok(" ; ", "; ") /* expect: 0 */
strcpy(buf, "ab") /* expect: 65536 */
strcat(strcat(buf, "cd"), "") /* expect: 65536 */
strncat(buf, "efgh", 2) /* expect: 65536 */
strcmp(buf, "abcdef") /* expect: 0 */
strncpy(buf, "xy", 5) /* expect: 65536 */
buf[2] + buf[3] + buf[4] + buf[5] /* expect: 102 */
strncpy(buf, "uvwxyz", 3) /* expect: 65536 */
strcmp(buf, "uvw") /* expect: 0 */
strcmp("abc", "abd") /* expect: -1 */
strcmp("abd", "abc") /* expect: 1 */
strcmp("ab", "abc") /* expect: -1 */
strcmp("\x80", "a") /* expect: 1 */
strncmp("abcX", "abcY", 3) + strncmp("x", "y", 0) /* expect: 0 */
strncmp("abcX", "abcY", 4) /* expect: -1 */
strncmp("ab", "abc", 5) /* expect: -1 */
stricmp("HeLLo", "hello") /* expect: 0 */
stricmp("apple", "BANANA") /* expect: -1 */
stricmp("_", "A") /* expect: -1 */
strspn("  \tword", " \t") /* expect: 3 */
strcpy(buf, "Mixed Case 42") /* expect: 65536 */
strcmp(strupr(buf), "MIXED CASE 42") /* expect: 0 */
strcmp(strlwr(buf), "mixed case 42") /* expect: 0 */
strcmp(strrev(buf), "24 esac dexim") /* expect: 0 */
strcpy(buf, "ab") /* expect: 65536 */
strcmp(strrev(buf), "ba") + strlen(strrev("")) /* expect: 0 */
strcmp(strset(buf, '*'), "**") + buf[2] /* expect: 0 */
void main() {}
