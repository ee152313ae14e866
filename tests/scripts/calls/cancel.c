/* Cancel at a report inside a call ends the run at once with status 1: nothing after it runs,
   main included. */
/* args: --on-error=cancel */
/* exit: 1 */
int boom(x) int x;
{
    int z;
    z = 0;
    x = x / z;
    return x;
}
5 /* expect: 5 */
boom(1) + 1 /* expect error 302 line 9: Bad operand / */
6
void main()
{
    boom(2);
}
