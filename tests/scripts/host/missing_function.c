/* args: --on-error=cancel --host=libm.so.6 */
/* exit: 1 */
/* A host library without the function a script calls: 403 with its name; Cancel ends the run. */
ktSleep(1, 2) /* expect error 403: Unknown function 'ktSleep' */
strlen("never") /* never evaluated */

void main() {}
