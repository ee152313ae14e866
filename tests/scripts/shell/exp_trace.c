/* args: --on-error=continue -dexp */
/* The expression trace of the checking pass and of a run, exactly as in exp_trace.trace. */
int f(x) int x; { return x; }
int g;
g = f(2)
void main() {}
