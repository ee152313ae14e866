/* A break outside any loop or switch is reported when the body is checked. Running it must not
   disturb anything after the call: later bodies are checked and run as usual. */
int stray()
{
    break; /* expect error 200: Bad syntax 'break' */
    return 1;
}
stray() /* expect: 1 */
int after()
{
    int i, n;
    n = 0;
    for (i = 0; i < 3; i++) {
        n = n + 1;
        n = n + 10;
    }
    return n;
}
after() /* expect: 33 */
stray() + after() /* expect: 34 */

void main() { }
