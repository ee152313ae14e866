/* Memory: memmove and memcpy with overlap in both directions, memset with a value above 255,
   memchr and memcmp over bytes that are not text (unsigned comparison). */
char b[16];
char c[16];
strcpy(b, "0123456789") /* expect: 65536 */
memmove(b + 2, b, 5) /* expect: 65538 */
strcmp(b, "0101234789") /* expect: 0 */
strcpy(b, "0123456789") /* expect: 65536 */
memmove(b, b + 3, 5) /* expect: 65536 */
strcmp(b, "3456756789") /* expect: 0 */
strcpy(b, "0123456789") /* expect: 65536 */
memcpy(b + 1, b, 4) /* expect: 65537 */
strcmp(b, "0012356789") /* expect: 0 */
memmove(b, "xyz", 0) - b + b[0] /* expect: 48 */
memset(memset(b, 0, 16) + 4, 300, 3) /* expect: 65540 */
b[3] + b[4] + b[6] + b[7] /* expect: 88 */
b[5] = -1 /* expect: -1 */
memchr(b, 44, 16) - b /* expect: 4 */
memchr(b, 255, 16) - b /* expect: 5 */
memchr(b, -1, 16) - b /* expect: 5 */
memchr(b + 8, 0, 8) - b /* expect: 8 */
memchr(b, 44, 4) /* expect: 0 */
memcmp(memcpy(c, b, 16), b, 16) /* expect: 0 */
c[15] = 1 /* expect: 1 */
memcmp(b, c, 16) /* expect: -1 */
memcmp(c, b, 16) /* expect: 1 */
memcmp(b, c, 15) + memcmp(b, c, 0) /* expect: 0 */
c[0] = -128 /* expect: -128 */
memcmp(c, b, 1) /* expect: 1 */
void main() {}
