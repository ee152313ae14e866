/* exit ends the process with its status at once, from any call depth; what the trace received
   before is kept, and nothing after the call runs. */
/* exit: 7 */
int unwind(n) int n; { if (n == 0) exit(7); return unwind(n - 1); }
1 + 1 /* expect: 2 */
void main() { unwind(5); exit(1); }
