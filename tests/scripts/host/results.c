/* The host's 32-bit result reaches the script unchanged. The recording host takes the results
   from host_results.tmp at every call; a function without a line there gives 0. */
long f;
long l;
(f = fopen("host_results.tmp", "w")) > 0 /* expect: 1 */
fputs("ktGetBaudRate 0x80000000\nktSleep -7\nktInitialize 0x7fffffff\n* 1000\n", f) /* expect: 0 */
fclose(f) /* expect: 0 */
ktGetBaudRate(1) /* expect: ktGetBaudRate(1) */ /* expect: -2147483648 */
l = ktGetBaudRate(2) - 1 /* expect: ktGetBaudRate(2) */ /* expect: 2147483647 */
ktSleep(1, 2) /* expect: ktSleep(1, 2) */ /* expect: -7 */
ktInitialize() /* expect: ktInitialize(0, instance, 0, command line) */ /* expect: 2147483647 */
ktGetHWND(0) * 2 /* expect: ktGetHWND(0) */ /* expect: 2000 */
void main() {
  int status;
  status = ktWaitForString(1, "ok", 30, 0); /* expect: ktWaitForString(1, "ok", 30, 0) */
  remove("host_results.tmp");
  status = status + ktWaitForString(1, "ok", 30, 0); /* expect: ktWaitForString(1, "ok", 30, 0) */
  ktSleep(status, 0); /* expect: ktSleep(1000, 0) */
}
