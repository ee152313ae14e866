/* args: --on-error=continue -dsym */
/* The symbol trace: types added to a declarator, allocations with their storage class and
   offset, struct layouts, exactly as in sym_trace.trace. */
char *q[2];
struct S { char c; int a; } s;
int f(p) int p; { return p; }
s.a = f(2)
int main() { return 0; }
