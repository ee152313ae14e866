int x;
struct S { int a; char b; } s;
#define N 10
2 + 3 * 4 /* expect: 14 */
10 - 4 - 3 /* expect: 3 */
1 + 2.5 /* expect: 3.5 */
sizeof(s) /* expect: 5 */
s.b = 65 /* expect: 65 */
N * 2 /* expect: 20 */
/* expect error 903 line 11: No main function */
