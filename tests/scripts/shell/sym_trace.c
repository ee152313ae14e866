/* args: --on-error=continue -dsym */
/* The symbol trace (sym_trace.trace): declarator types, allocations with storage class and offset. */
char *q[2];
unsigned char a; unsigned short b; unsigned c; unsigned long d; enum E { Z } e; float fl; union U { int i; } u;
struct S { char c; int a; } s;
int f(p) int p; { return p; }
s.a = f(2)
int main() { return 0; }
