/* args: --on-error=continue -dstmt */
/* The statement trace of the checking pass (indented) and of the run, as in stmt_trace.trace. */
int n;
int main() {
  int i;
  for (i = 0; i < 2; i = i + 1) n = n + i;
  switch (n) { case 1: n = 2; break; default: n = 3; }
  return n;
}
