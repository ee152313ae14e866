/* Reports of calls: the checking pass reports faults of a body where they are, when it is
   defined, without running it; reports raised while a call runs name the line of the token
   where they arise, wherever the call comes from. */
int ran;
int one(a) int a; { ran++; return a; }
int text(p) char *p; { ran++; return p[0]; }
int ratio(d) double d; { ran++; return d * 2; }
struct S { int v; } s;
int member(sp) struct S *sp; { ran++; return sp->v; }
char *name() { ran++; return "abc"; }
int arguments()
{
    int n, arr[3], *ip;
    char c, str[3];
    ran++;
    n = one(c) + one(2.5) + ratio(n) + text(str) + text(0) + member(&s) + *name();
    n = one(1, 2); n = one(1, 2, 3); /* expect error 301: Bad argument */ /* expect error 301: Bad argument */ /* expect error 301: Bad argument */
    n = defined_below(1); /* expect error 301: Bad argument */
    n = text(arr) + text(1); /* expect error 601: Type mismatch '*' */ /* expect error 601: Type mismatch '*' */
    n = member(s) + member(&n); /* expect error 601: Type mismatch '*' */ /* expect error 601: Type mismatch '*' */
    n = one(s); ip = name(); /* expect error 601: Type mismatch 'int' */ /* expect error 601: Type mismatch '' */
    n = one(1]; /* expect error 500: Expected ')' */
    return n;
}
int defined_below(x) int x; { ran++; return x; }
/* a call of the function being defined is checked against its own parameters */
int recursive(n) int n; { ran++; return recursive(n - 1, 0); } /* expect error 301: Bad argument */
int statements(x) int x;
{
    ran++;
    {
        int inner() { return 1; } /* expect error 602: Can't have nested functions */
        x = 1;
    }
    goto 5; /* expect error 303: Bad label syntax */
    if x) x = 2; /* expect error 500: Expected '(' */
    while (x; x = 3; /* expect error 500: Expected ')' */
    x = 4
    x = 5; /* expect error 200: Bad syntax 'Symbol' */ /* expect error 500: Expected ';' */
    for (x = 0, x < 3; x++) ; /* expect error 500: Expected ';' */
    else; /* expect error 200: Bad syntax 'else' */ /* expect error 500: Expected ';' */
    goto nowhere; /* expect error 402: Unknown label 'nowhere' */
    return x;
}
ran /* expect: 0 */
int zero;
int boom(x)
int x;
{
    x = x
        / zero;
    return x;
}
int caller()
{
    int r;
    r = boom(1) + 1 / zero;
    return r;
}
caller() /* expect: 0 */ /* expect error 302 line 51: Bad operand / */ /* expect error 302 line 57: Bad operand / */
boom(2) + 3 / zero + 0 /* expect: 0 */ /* expect error 302 line 51: Bad operand / */ /* expect error 302: Bad operand / */
/* a report from a body spread over several lines names the line of the token where it arises */
int spread(a, b)
int a;
int b;
{
    return a
        +
        b /
        zero;
}
spread(1, 2) /* expect: 1 */ /* expect error 302 line 70: Bad operand / */
void main()
{
    boom(3); /* expect error 302 line 51: Bad operand / */
}
