/* A replayed expression runs by its compiled form from its first run on; every run must give the
   values and the reports of the first. Each function here is called twice. */
int order[8];
int n;
int note(v)
int v;
{
    order[n] = v;
    n = n + 1;
    return v;
}
int sides()
{
    int a[4];
    int i;
    int j;
    i = 0;
    a[0] = a[1] = a[2] = a[3] = 0;
    a[i++] = i;
    j = note(1) + note(2) * note(3);
    return a[0] * 1000 + i * 100 + j + order[0] * 10000 + order[2] * 100000;
}
sides() /* expect: 311107 */
n = 0 /* expect: 0 */
sides() /* expect: 311107 */
int quirks()
{
    int x, y, *p;
    x = 1;
    y = 2;
    x + y = 5;
    p = &x;
    *p = *p + 40;
    ++y;
    return x * 100 + +y;
}
quirks() /* expect: 4106 */
quirks() /* expect: 4106 */
int bad_prefix() { int y; y = 2; --(y); return y; } /* expect error 305: Bad lvalue */ /* expect error 500: Expected ';' */ /* expect error 500: Expected ';' */
bad_prefix() + bad_prefix() /* expect: 4 */
/* expect error 305 line 39: Bad lvalue */ /* expect error 500 line 39: Expected ';' */ /* expect error 500 line 39: Expected ';' */
/* expect error 305 line 39: Bad lvalue */ /* expect error 500 line 39: Expected ';' */ /* expect error 500 line 39: Expected ';' */
int divide(a, b)
int a;
int b;
{
    return a
        / b; /* expect error 302 line 48: Bad operand / */
}
divide(7, 2) /* expect: 3 */
divide(7, 0) /* expect: 0 */
divide(7, 0) /* expect: 0 */
/* expect error 302 line 48: Bad operand / */
char text[8];
int bytes()
{
    char *s;
    int sum;
    strcpy(text, "abc");
    sum = 0;
    for (s = text; *s; s++)
        sum = sum * 256 + *s;
    return sum + strlen(strcpy(text, "xy")) * 0x1000000;
}
bytes() /* expect: 39936611 */
bytes() /* expect: 39936611 */
void main() {}
/* Statements: loops, branches, break and return run by their plans from the second call on. */
int flow(n)
int n;
{
    int i;
    int j;
    int sum;
    sum = 0;
    for (i = 0; ; i++) {
        if (i >= n)
            break;
        j = 0;
        while (1) {
            if (j == i) break;
            else if (j & 1) sum = sum + j;
            else
                ;
            j++;
        }
        if (sum > 1000)
            return -sum;
    }
    for (; i < n + 3; )
        i++;
    { sum = sum * 10 + i; }
    return sum;
}
flow(10) /* expect: 613 */
flow(10) /* expect: 613 */
flow(200) /* expect: -1012 */
flow(200) /* expect: -1012 */
int zero;
int faults()
{
    int k;
    int s;
    s = 0;
    for (k = 0; k < 2; k++)
        s = s + 10 / zero; /* expect error 302 line 106: Bad operand / */
    return s;
}
faults() /* expect: 0 */
faults() /* expect: 0 */
/* expect error 302 line 106: Bad operand / */
/* expect error 302 line 106: Bad operand / */
/* expect error 302 line 106: Bad operand / */
