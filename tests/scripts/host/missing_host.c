/* args: --on-error=continue --host=/nonexistent/librv32auto.so */
/* A host library that cannot be loaded: a script runs as ever until it calls a kt built-in; then
   each call reports 403 with the built-in's name and yields 0, and the run goes on. */
int list[2];
strlen("no host needed") /* expect: 14 */
ktSleep(1, 2) /* expect error 403: Unknown function 'ktSleep' */ /* expect: 0 */
ktGetBaudRate(1) + 5 /* expect error 403: Unknown function 'ktGetBaudRate' */ /* expect: 5 */
ktXferSendList(1, list, 2) /* expect error 403: Unknown function 'ktXferSendList' */ /* expect: 0 */

void main() {
  ktInitialize(); /* expect error 403: Unknown function 'ktInitialize' */
  ktTerminate(0, 0); /* expect error 403: Unknown function 'ktTerminate' */
}
