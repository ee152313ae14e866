/* A function defined inside a top-level expression (in a cast's type name) is read as any
   definition is: recorded and checked, nothing of it run while it is read, callable later. The
   cast itself is bad syntax. Also where the input ends inside such a definition. */
int n;
(int twice(x) { n = n + 1; return x + x; }) 1 /* expect error 200: Bad syntax '}' */ /* expect: 0 */ /* expect: 1 */
n /* expect: 0 */
twice(4) + n /* expect: 9 */
(int broken(){switch($$break /* expect error 502: Unexpected character '$' */ /* expect error 200: Bad syntax '$' */ /* expect error 500: Expected ')' */ /* expect error 502: Unexpected character '$' */ /* expect error 500: Expected '{' */ /* expect error 200: Bad syntax '$' */ /* expect error 500: Expected ';' */ /* expect error 500: Expected ';' */ /* expect error 501 line 9: Unexpected end of file */ /* expect error 200 line 9: Bad syntax '§' */ /* expect: 0 */
