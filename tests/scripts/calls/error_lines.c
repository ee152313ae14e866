/* Reports raised while a call runs name the line of the function's own token, wherever the
   call comes from; back in the caller, reports name the caller's lines again. */
int zero;
int boom(x)
int x;
{
    x = x
        / zero;
    return x;
}
int caller()
{
    int r;
    r = boom(1) + 1 / zero;
    return r;
}
caller() /* expect: 0 */ /* expect error 302 line 8: Bad operand / */ /* expect error 302 line 14: Bad operand / */
boom(2) + 3 / zero + 0 /* expect: 0 */ /* expect error 302 line 8: Bad operand / */ /* expect error 302: Bad operand / */
/* a report from a body spread over several lines names the line of the token where it arises */
int spread(a, b)
int a;
int b;
{
    return a
        +
        b /
        zero;
}
spread(1, 2) /* expect: 1 */ /* expect error 302 line 27: Bad operand / */

void main()
{
    boom(3); /* expect error 302 line 8: Bad operand / */
}
