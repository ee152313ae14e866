/* Sizes and offsets past the 16,384-byte arena: a struct, a parameter list or a frame that grows
   past it is reported once (102) and keeps a size just past the arena, so nothing of that type
   or function fits: its variables are reported when they are placed, its calls are refused. An
   array of a bad count is empty, also after a pointer to a struct. Enum values wrap. */
struct Big { int a[3000]; int b[3000]; int c; }; /* expect error 102: Memory overflow */
sizeof(struct Big) /* expect: 16385 */
struct Big g; /* expect error 102: Memory overflow */
struct Fits { char x[16000]; };
sizeof(struct Fits) /* expect: 16000 */
int huge[2147483647]; /* expect error 102: Memory overflow */
sizeof huge /* expect: 2147483647 */
struct Tag { int m; };
struct Tag *bad[0]; /* expect error 306: Bad array size */
sizeof bad /* expect: 0 */
int frame()
{
    int a[2147483647]; /* expect error 102: Memory overflow */
    int b[2147483647][2147483647];
    struct Big s;
    return 1;
}
frame() /* expect: 0 */ /* expect error 102: Memory overflow */
int params(p, q) struct Big p; struct Big q; /* expect error 102: Memory overflow */
{ /* expect error 102: Memory overflow */
    return 2;
}
int small()
{
    struct Tag *h[0]; /* expect error 306: Bad array size */
    int x[10];
    x[9] = 9;
    return x[9];
}
small() /* expect: 9 */
enum Wrap { TOP = 2147483647, PAST, NEXT };
PAST /* expect: -2147483648 */
NEXT /* expect: -2147483647 */

void main() { }
