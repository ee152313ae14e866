/* Objects reached through subscripts, members, & and *, and ++/-- on them: prefix yields the new
   value, postfix the old one, both store the new one in the operand's type. On pointers ++ and --
   step by the pointee's size, while + and - count bytes. */
int i;
char c;
double d;
unsigned char uc;
i = 5 /* expect: 5 */
i++ * 10 + i /* expect: 56 */
++i /* expect: 7 */
i-- + i /* expect: 13 */
c = 127 /* expect: 127 */
++c /* expect: -128 */
c-- * 1000 + c /* expect: -127873 */
uc = 0 /* expect: 0 */
--uc /* expect: 255 */
d = 1.5 /* expect: 1.5 */
++d /* expect: 2.5 */
int arr[5];
char ci;
long li;
arr[3] = 30 /* expect: 30 */
ci = li = 3 /* expect: 3 */
arr[ci] + arr[li] /* expect error 601: Type mismatch '[]' */ /* expect: 60 */
arr[3]++ /* expect: 30 */
++arr[1 + 2] /* expect: 32 */
"hello"[1] * 1000 + *"hello" /* expect: 101104 */
struct In { short a; char b; };
struct R { char tag; int count; struct In in; int list[3]; struct R *self; } r;
struct R *rp;
r.count = 10 /* expect: 10 */
r.count++ /* expect: 10 */
(rp = &r) - &r + (rp->self = rp) - &r /* expect: 0 */
--rp->self->self->count /* expect: 10 */
rp->tag = 255 /* expect: -1 */
++r.tag /* expect: 0 */
rp->in.a = 300 /* expect: 300 */
r.list[2] = 40 /* expect: 40 */
rp->list[2]++ + rp->in.a /* expect: 340 */
&rp->list[1] - &r.tag /* expect: 12 */
sizeof r + sizeof rp->in * 100 + sizeof r.list * 1000 /* expect: 12324 */
int *ip;
(ip = &arr[4]) - arr /* expect: 16 */
ip[-1] /* expect: 32 */
*(ip - 4) = 7 /* expect: 7 */
arr[3] /* expect: 7 */
&*ip - ip /* expect: 0 */
(ip++) - arr /* expect: 16 */
ip - arr /* expect: 20 */
--ip - arr /* expect: 16 */
double da[3];
double *dp;
struct R rs[3];
(dp = da) - da + (rp = rs) - rs /* expect: 0 */
++dp - da + (++rp - rs) * 100 /* expect: 2408 */
void main() { }
