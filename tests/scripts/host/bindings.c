/* The kt built-ins pass the script's words in order to the host function of their name; a word the
   call does not fill arrives as 0. Results have the binding's type (a long result where a pointer is
   wanted is 601). ktInitialize passes 0, the instance (POSIX: the process id), 0 and the command
   line (POSIX: 0; the text comes with the attach call), whatever the script passes. */
ktInitialize(5, 6, 7, 8) /* expect: ktInitialize(0, instance, 0, command line) */ /* expect: 0 */
ktSleep() /* expect: ktSleep(0, 0) */ /* expect: 0 */
ktGetPortPrefs(1, 2, 3) /* expect: ktGetPortPrefs(1, 2, 3, 0, 0, 0, 0) */ /* expect: 0 */
/* The 16-bit arguments: only their low 16 bits reach the host, as 0..65535, and ktTerminate's
   second one sign-extended; the other arguments of the same calls pass whole. */
ktTerminate(131072, 65535) /* expect: ktTerminate(131072, -1) */ /* expect: 0 */
ktTerminate(0, 32768) /* expect: ktTerminate(0, -32768) */ /* expect: 0 */
ktTerminate(0, 32767) + ktTerminate(0, -1) /* expect: ktTerminate(0, 32767) */ /* expect: ktTerminate(0, -1) */ /* expect: 0 */
ktTerminate(0, 0x7fff8001) /* expect: ktTerminate(0, -32767) */ /* expect: 0 */
ktGetInput(131072, 65536, 65537, 131072, -1, 140000) /* expect: ktGetInput(131072, 0, 1, 131072, -1, 140000) */ /* expect: 0 */
ktGetInput(0, -1, 0x12348000, 0, 0, 0) /* expect: ktGetInput(0, 65535, 32768, 0, 0, 0) */ /* expect: 0 */
ktGetPortPrefs(-1, -1, -1, -1, -1, -1, -1) /* expect: ktGetPortPrefs(-1, 65535, -1, 65535, -1, -1, -1) */ /* expect: 0 */
ktGetRuntimeValue(-1, -1, -1, -1, -1) /* expect: ktGetRuntimeValue(-1, 65535, -1, -1, -1) */ /* expect: 0 */
ktGetTextFromScreen(-1, 0x10002, -1, -1, -1) /* expect: ktGetTextFromScreen(-1, 2, -1, -1, -1) */ /* expect: 0 */
ktWaitForPrompt(-1, -32768, -1, -1, -1) /* expect: ktWaitForPrompt(-1, 32768, -1, -1, -1) */ /* expect: 0 */
/* neighbours of the narrowed bindings pass every word whole */
ktGetPortName(-1, 131072, -1) + ktWaitForString(-1, 131072, -1, 131072) /* expect: ktGetPortName(-1, 131072, -1) */ /* expect: ktWaitForString(-1, 131072, -1, 131072) */ /* expect: 0 */
ktSleep(1, 131072) /* expect: ktSleep(1, 131072) */ /* expect: 0 */
void main() {
  char *p;
  p = ktGetBaudRate(11); /* expect error 601: Type mismatch '' */ /* expect: ktGetBaudRate(11) */
  p = ktGetOpenSession(11, 22); /* expect error 601: Type mismatch '' */ /* expect: ktGetOpenSession(11, 22) */
  p = ktGetSession(11); /* expect error 601: Type mismatch '' */ /* expect: ktGetSession(11) */
  p = ktGetXferParameters(11); /* expect error 601: Type mismatch '' */ /* expect: ktGetXferParameters(11) */
  p = ktInitialize(); /* expect error 601: Type mismatch '' */ /* expect: ktInitialize(0, instance, 0, command line) */
  p = ktOpenSession(11, 22); /* expect error 601: Type mismatch '' */ /* expect: ktOpenSession(11, 22) */
  p = ktBlockRemoteInput(11); /* expect: ktBlockRemoteInput(11) */
  p = ktCaptureBegin(11, 22, 33); /* expect: ktCaptureBegin(11, 22, 33) */
  p = ktGetPhonebookEntry(11, 22, 33, 44); /* expect: ktGetPhonebookEntry(11, 22, 33, 44) */
  p = ktWaitForPrompt(11, 22, 33, 44, 55); /* expect: ktWaitForPrompt(11, 22, 33, 44, 55) */
  p = ktMessageBox(11, 22, 33, 44, 55, 66); /* expect: ktMessageBox(11, 22, 33, 44, 55, 66) */
  p = ktGetPortPrefs(11, 22, 33, 44, 55, 66, 77); /* expect: ktGetPortPrefs(11, 22, 33, 44, 55, 66, 77) */
  ktMessageBox(5); /* expect: ktMessageBox(5, 0, 0, 0, 0, 0) */
}
