/* A body read with errors runs the tokens as its reading took them: a function declaration inside
   a body whose reading stopped early (no '{' after the parameter list) is passed over up to where
   it stopped, not up to the next ';', which may lie inside a later statement (here an 'if' whose
   links were never written, met as a statement when the body runs). */
int skipped()
{
    int k = 1, inner(x) 5 + (k = 3); /* expect error 602: Can't have nested functions */ /* expect error 500: Expected '{' */
    return k;
}
skipped() /* expect: 3 */
int fuzzed()
{
    int k = 0, e(x) 1 + (k; if (k) k = 2; /* expect error 602: Can't have nested functions */ /* expect error 500: Expected '{' */ /* expect error 200: Bad syntax ';' */ /* expect error 200: Bad syntax 'if' */ /* expect error 500: Expected ';' */ /* expect error 500: Expected ';' */ /* expect error 305: Bad lvalue */
}
fuzzed() /* expect: 0 */ /* expect error 200 line 13: Bad syntax ';' */ /* expect error 200 line 13: Bad syntax 'if' */ /* expect error 500 line 13: Expected ';' */ /* expect error 500 line 13: Expected ';' */ /* expect error 305 line 13: Bad lvalue */

void main() { }
