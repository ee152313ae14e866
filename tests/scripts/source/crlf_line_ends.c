/* The twin of lf_line_ends.c with CR LF line ends: a CR LF ends a line as a line feed does. */
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
#define AFTER_REFUSED 8 /* expect error 600 line 14: Redefinition of 'TWICE' */
#include "nowhere.h
#define AFTER_INCLUDE 9 /* expect error 500 line 16: Expected '"' */
int x = TWICE + AFTER_REFUSED + AFTER_INCLUDE;
x /* expect: 23 */
#define AFTER_EXPRESSION 10
x + AFTER_EXPRESSION /* expect: 33 */
int main() { return 0; }
