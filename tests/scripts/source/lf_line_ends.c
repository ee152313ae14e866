/* Line ends of LF files, as in the twin file crlf_line_ends.c: each line feed ends a whole line,
   in comments and strings too, and a directive may start every line: after a refused definition
   (reported once its line end has been read), after an include whose name is not closed, and
   after a top-level expression. A backslash before a line end in a string stands for itself. */
/* a comment
   over two lines */
#aftercomment /* expect error 200: Bad syntax '#aftercomment' */
char *s = "one
two";
#afterstring /* expect error 200: Bad syntax '#afterstring' */
char *t = "three\
four";
#afterescape /* expect error 200: Bad syntax '#afterescape' */
t[5] /* expect: 92 */
#define TWICE 6
#define TWICE 7
#define AFTER_REFUSED 8 /* expect error 600 line 17: Redefinition of 'TWICE' */
#include "nowhere.h
#define AFTER_INCLUDE 9 /* expect error 500 line 19: Expected '"' */
int x = TWICE + AFTER_REFUSED + AFTER_INCLUDE;
x /* expect: 23 */
#define AFTER_EXPRESSION 10
x + AFTER_EXPRESSION /* expect: 33 */
int main() { return 0; }
