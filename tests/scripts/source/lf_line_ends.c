/* Line numbers in a file with LF line ends, where each line feed ends a whole line, as in the
   twin file with CR LF line ends. */
int x;
/* a comment
   over three
   lines */
#aftercomment /* expect error 200: Bad syntax '#aftercomment' */
char *s = "one
two";
#afterstring /* expect error 200: Bad syntax '#afterstring' */
/* A backslash before a line end inside a string stands for itself; the line still ends. */
char *t = "three\
four";
#afterescape /* expect error 200: Bad syntax '#afterescape' */
t[5] /* expect: 92 */
int main() { return 0; }
