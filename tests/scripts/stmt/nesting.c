/* Nesting limits: 15 switches inside one another work; a 16th is refused with a report (its labels
   dropped, so it matches nothing), the rest still checked and run; statements hundreds of levels deep work. */
int fifteen(x) int x;
{
switch (x) { case 1: switch (x) { case 1: switch (x) { case 1: switch (x) { case 1:
switch (x) { case 1: switch (x) { case 1: switch (x) { case 1: switch (x) { case 1:
switch (x) { case 1: switch (x) { case 1: switch (x) { case 1: switch (x) { case 1:
switch (x) { case 1: switch (x) { case 1: switch (x) { case 1:
    return 15;
} } } } } } } } } } } } } } }
    return 0;
}
int sixteen(x) int x;
{
switch (x) { case 1: switch (x) { case 1: switch (x) { case 1: switch (x) { case 1:
switch (x) { case 1: switch (x) { case 1: switch (x) { case 1: switch (x) { case 1:
switch (x) { case 1: switch (x) { case 1: switch (x) { case 1: switch (x) { case 1:
switch (x) { case 1: switch (x) { case 1: switch (x) { case 1: switch (x) { case 1: /* expect error 100: Out of memory */
    return 16;
} } } } } } } } } } } } } } } }
    return 0;
}
fifteen(1) * 100 + sixteen(1) /* expect: 1500 */
int deep(x) int x;
{
    int n;
    n = 0;
    if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { if (x) { n = 7; } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } } }
    {{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{{ n = n + 1; }}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}}
    return n;
}
deep(1) * 10 + deep(0) /* expect: 81 */
void main() { }
