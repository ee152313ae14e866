/* The time limit ends a tight loop of a compiled body, at the loop's line. */
/* args: --on-error=continue --time-limit=1 */
/* exit: 124 */
int spin(n) int n; { int i; i = 0; while (i < n) i = i + 1; return i; }
spin(100) /* expect: 100 */
int forever() { int i; i = 0; for (;;) i++; return i; }
forever() /* expect error 103 line 6: Time limit of 1 seconds exceeded */
