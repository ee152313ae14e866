/* What crosses to the host and back: its 32-bit result unchanged (the recording host reads results
   from host_results.tmp at every call; 0 without a line); strings and buffers as script addresses
   (a constant, an array, a pointer into a string, a local buffer), which the attach call's string
   function turns into pointers, refusing a string that runs into the arena's end or lies past it. */
long f, l;
char name[16], *p;
fputs("ktGetBaudRate 0x80000000\nktSleep -7\nktInitialize 0x7fffffff\n* 1000\n", f = fopen("host_results.tmp", "w")) + fclose(f) /* expect: 0 */
ktGetBaudRate(1) /* expect: ktGetBaudRate(1) */ /* expect: -2147483648 */
l = ktGetBaudRate(2) - 1 /* expect: ktGetBaudRate(2) */ /* expect: 2147483647 */
ktSleep(1, 2) /* expect: ktSleep(1, 2) */ /* expect: -7 */
ktInitialize() /* expect: ktInitialize(0, instance, 0, command line) */ /* expect: 2147483647 */
ktGetHWND(0) * 2 /* expect: ktGetHWND(0) */ /* expect: 2000 */
strcpy(name, "operator") - name /* expect: 0 */
ktSetNameString(1, name) + ktSetNameString(1, name + 4) /* expect: ktSetNameString(1, "operator") */ /* expect: ktSetNameString(1, "ator") */ /* expect: 2000 */
ktTypeText(0, "ls -l\r\n", 7) + ktTypeText(0, "\001", 1) /* expect: ktTypeText(0, "ls -l\r\n", 7) */ /* expect: ktTypeText(0, 65668, 1) */ /* expect: 2000 */
(p = 81920 - 4) - 81916 + (p[0] = 'e') + (p[1] = 'n') + (p[2] = 'd') + (p[3] = '!') /* expect: 344 */
ktSetNameString(1, p) + (p[3] = 0) + ktSetNameString(1, p) /* expect: ktSetNameString(1, 81916) */ /* expect: ktSetNameString(1, "end") */ /* expect: 2000 */
ktSetNameString(1, 81920) + ktSetNameString(1, 65535) /* expect: ktSetNameString(1, 81920) */ /* expect: ktSetNameString(1, 65535) */ /* expect: 2000 */
void main() {
  int status;
  char reply[8];
  strcpy(reply, "yes");
  ktGetInput(1, 8, 8, reply, 0, 0); /* expect: ktGetInput(1, 8, 8, "yes", 0, 0) */
  status = ktWaitForString(1, "ok", 30, 0); /* expect: ktWaitForString(1, "ok", 30, 0) */
  remove("host_results.tmp");
  status = status + ktWaitForString(1, "ok", 30, 0); /* expect: ktWaitForString(1, "ok", 30, 0) */
  ktSleep(status, 0); /* expect: ktSleep(1000, 0) */
}
