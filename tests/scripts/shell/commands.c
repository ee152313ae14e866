/* Driver commands and top-level values: @list prints the symbols declared so far, @edit does
   nothing, a void call prints nothing, a struct value prints a notice, and "run" calls main at
   once: nothing after it is read. The exact trace is in commands.trace. */
int count;
struct P { int x; char c; } pt;
int twice(n) int n; { return n + n + abs(0); }
void nothing() { count = 1; }
int nest(n) int n; { for (n = 0; n <= 2; n++) { if (n >= 1 != (n == 2)) { n = n << 1 >> 1; n--; } } return n; }
@list
@edit
twice(21)
nothing()
pt
int main() { return twice(count) / 0; } /* expect error 302 line 14: Bad operand / */
count
run
count
never read: % $ 'x "unterminated
