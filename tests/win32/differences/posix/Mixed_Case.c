/* File names in messages are shown as they were given: the script's and the include file's. */
int x;
#badscript /* expect error 200 in Mixed_Case.c: Bad syntax '#badscript' */
#include "include/Upper_Inc.h"
/* expect error 200 in include/Upper_Inc.h line 2: Bad syntax '#badinclude' */
#badagain /* expect error 200 in Mixed_Case.c: Bad syntax '#badagain' */
void main() {}
