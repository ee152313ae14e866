/* File names in messages are lowered: the script's and the include file's. */
int x;
#badscript /* expect error 200 in mixed_case.c: Bad syntax '#badscript' */
#include "include/Upper_Inc.h"
/* expect error 200 in include/upper_inc.h line 2: Bad syntax '#badinclude' */
#badagain /* expect error 200 in mixed_case.c: Bad syntax '#badagain' */
void main() {}
