/* In a file with CR LF line ends a directive may start every line, as in the twin file with LF
   line ends: after a refused definition (reported once its line end has been read), after an
   include whose name is not closed, and after a top-level expression. */
#define TWICE 6
#define TWICE 7
#define AFTER_REFUSED 8 /* expect error 600 line 6: Redefinition of 'TWICE' */
#include "nowhere.h
#define AFTER_INCLUDE 9 /* expect error 500 line 8: Expected '"' */
int x = TWICE + AFTER_REFUSED + AFTER_INCLUDE;
x /* expect: 23 */
#define AFTER_EXPRESSION 10
x + AFTER_EXPRESSION /* expect: 33 */
int main() { return 0; }
