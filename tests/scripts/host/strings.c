/* Strings and buffers reach the host as script addresses, which it turns into pointers through
   the attach call (the recording host shows a word that addresses a printable string as that
   string): a constant, an array, a pointer into a string, a local buffer. The pointer function
   refuses what leaves the arena: a string running into its end is no string, and an address
   past it is a plain number. */
char name[16];
char *p;
strcpy(name, "operator") /* expect: 65536 */
ktSetNameString(1, name) /* expect: ktSetNameString(1, "operator") */ /* expect: 0 */
ktSetNameString(1, name + 4) /* expect: ktSetNameString(1, "ator") */ /* expect: 0 */
ktTypeText(0, "ls -l\r\n", 7) /* expect: ktTypeText(0, "ls -l\r\n", 7) */ /* expect: 0 */
ktTypeText(0, "\001", 1) /* expect: ktTypeText(0, 65573, 1) */ /* expect: 0 */
p = 81920 - 4 /* expect: 81916 */
(p[0] = 'e') + (p[1] = 'n') + (p[2] = 'd') + (p[3] = '!') /* expect: 344 */
ktSetNameString(1, p) /* expect: ktSetNameString(1, 81916) */ /* expect: 0 */
p[3] = 0 /* expect: 0 */
ktSetNameString(1, p) /* expect: ktSetNameString(1, "end") */ /* expect: 0 */
ktSetNameString(1, 81920) + ktSetNameString(1, 65535) /* expect: ktSetNameString(1, 81920) */ /* expect: ktSetNameString(1, 65535) */ /* expect: 0 */
void main() {
  char reply[8];
  strcpy(reply, "yes");
  ktGetInput(1, 8, 8, reply, 0, 0); /* expect: ktGetInput(1, 8, 8, "yes", 0, 0) */
}
