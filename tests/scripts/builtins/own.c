/* The interpreter's own rows: min and max compare signed; malloc carves the arena upward, free does
   nothing, realloc copies n bytes front to back into a fresh block (of a null pointer: a malloc), an
   exhausted arena gives 102 and null. String constants take arena bytes: lines measuring hold none. */
char *a, *b, *c;
min(3, 3) * 100 + min(-1, 1) * 10 + max(-1, 1) /* expect: 291 */
max(-2147483647 - 1, 2147483647) /* expect: 2147483647 */
(a = malloc(4)) > 0 /* expect: 1 */
free(a) + (b = malloc(10)) - a /* expect: 4 */
(a[0] = 119) + (a[1] = 120) + (a[2] = 0) /* expect: 239 */
(c = realloc(a, 3)) - b + c[0] + c[1] + c[2] /* expect: 249 */
/* growing the block made just before: the copy reads the bytes it has just written */
(a = malloc(2)) - c /* expect: 3 */
(a[0] = 65) + (a[1] = 66) /* expect: 131 */
(b = realloc(a, 6)) - a + strncmp(b, "ABABAB", 6) /* expect: 2 */
(c = realloc(b, 1)) - b + *c /* expect: 78 */
(c = realloc(0, 3)) > 0 /* expect: 1 */
malloc(20000) + malloc(-1) /* expect: 0 */ /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */
malloc(1) - c /* expect: 3 */
void main() {}
