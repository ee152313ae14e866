/* #include: the included file is read in place, its messages name it and count its own lines,
   and after it the script's lines count on. */
int depth;
#include "include/defs.h" in_defs + after_bogus
/* expect error 200 in include/defs.h line 3: Bad syntax '#bogus' */
/* expect: 7 */
FROM_DEFS /* expect: 42 */
int spacer;
#nothing /* expect error 200: Bad syntax '#nothing' */
int count;
#include <include/twice.h>
/* expect error 200 in include/twice.h line 1: Bad syntax '#oops' */
/* expect: 1 */
#include "include/twice.h"
/* expect error 200 in include/twice.h line 1: Bad syntax '#oops' */
/* expect: 2 */
#include "include/no such file.h"
/* expect error 900 line 17: Can't open include file 'include/no such file.h' */
#include "include" /* expect error 900: Can't open include file 'include' */
/* Ten files can be open at once; the eleventh include is refused. */
#include "include/self.h"
/* expect error 900 in include/self.h line 1: Can't open include file 'include/self.h' */
/* expect: 1 */ /* expect: 2 */ /* expect: 3 */ /* expect: 4 */ /* expect: 5 */
/* expect: 6 */ /* expect: 7 */ /* expect: 8 */ /* expect: 9 */ /* expect: 10 */
int main() { return 0; } /* expect error 200 line 26: Bad syntax '#also' */
#also
