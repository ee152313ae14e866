/* Objects reached through subscripts, members, & and *, and ++/-- on them: prefix yields the new
   value, postfix the old one, both store the new one in the operand's type. On pointers ++ and --
   step by the pointee's size, while + and - count bytes. */
int i;
char c;
double d;
unsigned char uc;
(i = 5) * 1000 + i++ * 10 + i /* expect: 5056 */
++i * 100 + i-- + i /* expect: 713 */
(c = 127) * 1000 + ++c /* expect: 126872 */
c-- * 1000 + c /* expect: -127873 */
(uc = 0) + --uc /* expect: 255 */
(d = 1.5) + ++d /* expect: 4 */
int arr[5];
char ci;
long li;
(arr[3] = 30) + (ci = li = 3) /* expect: 33 */
arr[ci] + arr[li] /* expect error 601: Type mismatch '[]' */ /* expect: 60 */
arr[3]++ * 100 + ++arr[1 + 2] /* expect: 3032 */
"hello"[1] * 1000 + *"hello" /* expect: 101104 */
struct In { short a; char b; };
struct R { char tag; int count; struct In in; int list[3]; struct R *self; } r;
struct R *rp;
(r.count = 10) * 100 + r.count++ /* expect: 1010 */
(rp = &r) - &r + (rp->self = rp) - &r + --rp->self->self->count /* expect: 10 */
(rp->tag = 255) * 10 + ++r.tag /* expect: -10 */
(rp->in.a = 300) + (r.list[2] = 40) /* expect: 340 */
rp->list[2]++ + rp->in.a /* expect: 340 */
&rp->list[1] - &r.tag /* expect: 12 */
sizeof r + sizeof rp->in * 100 + sizeof r.list * 1000 /* expect: 12324 */
int *ip;
(ip = &arr[4]) - arr /* expect: 16 */
ip[-1] * 100 + (*(ip - 4) = 7) * 10 + arr[3] + &*ip - ip /* expect: 3277 */
((ip++) - arr) * 100 + ip - arr /* expect: 1620 */
--ip - arr /* expect: 16 */
double da[3];
double *dp;
struct R rs[3];
(dp = da) - da + (rp = rs) - rs /* expect: 0 */
++dp - da + (++rp - rs) * 100 /* expect: 2408 */
void main() { }
