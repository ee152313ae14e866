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

/* words a call does not fill arrive as 0, never as what an earlier call left */
ktSleep() /* expect: ktSleep(0, 0) */ /* expect: 0 */
ktGetPortPrefs(1, 2, 3) /* expect: ktGetPortPrefs(1, 2, 3, 0, 0, 0, 0) */ /* expect: 0 */

void main() {
  ktTypeText(7, 8, 9);    /* expect: ktTypeText(7, 8, 9) */
  ktMessageBox(5);        /* expect: ktMessageBox(5, 0, 0, 0, 0, 0) */
}
