/* args: --on-error=continue --host=/nonexistent/librv32auto.so */
/* stderr: oxel: host library /nonexistent/librv32auto.so: /nonexistent/librv32auto.so: cannot open shared object file: No such file or directory */
/* A host library that cannot be loaded: a script runs as ever until it calls a kt built-in; then
   each call reports 403 with the built-in's name and yields -15 (never 0, which reads as
   success), and the run goes on. The loader's reason is written once. */
int list[2];
strlen("no host needed") /* expect: 14 */
ktSleep(1, 2) /* expect error 403: Unknown function 'ktSleep' */ /* expect: -15 */
ktGetBaudRate(1) + 5 /* expect error 403: Unknown function 'ktGetBaudRate' */ /* expect: -10 */
ktXferSendList(1, list, 2) /* expect error 403: Unknown function 'ktXferSendList' */ /* expect: -15 */
void main() {
  if (ktInitialize() < 0) /* expect error 403: Unknown function 'ktInitialize' */
    ktTerminate(0, 0); /* expect error 403: Unknown function 'ktTerminate' */
}
