/* args: --on-error=continue -dfoo - -dlexx -dlex -dlex */
/* Unknown driver options are reported at line 1 and ignored; -dlex may be given twice. Its trace
   (lex_trace.trace) shows the tokens passed over while main runs. */
/* expect error 400 line 1: Unknown option '-dfoo' */
/* expect error 400 line 1: Unknown option '-' */
/* expect error 400 line 1: Unknown option '-dlexx' */
int n;
int main() {
  while (n < 2) n = n + 1;
  if (n == 1) n = 5; else n = 7;
  return n;
}
