/* The character classes of the C locale: values outside 0..127 (negative chars, EOF, 0x80..0xFF)
   are in no class, and tolower/toupper give them back unchanged. */
char hi;
isalpha('a') + isalpha('Z') + isalpha('5') + isalpha('_') /* expect: 2 */
isdigit('0') + isdigit('9') + isdigit('a') + isdigit(-1) /* expect: 2 */
isalnum('x') + isalnum('7') + isalnum(' ') + isalnum('-') /* expect: 2 */
isupper('Q') + isupper('q') + islower('q') + islower('Q') /* expect: 2 */
isspace(' ') + isspace('\t') + isspace('\n') + isspace(11) + isspace(12) + isspace('\r') /* expect: 6 */
isspace(0) + isspace('x') + isspace(160) /* expect: 0 */
isprint(' ') + isprint('~') + isprint(127) + isprint(31) /* expect: 2 */
isgraph(' ') + isgraph('!') + isgraph('~') + isgraph(127) /* expect: 2 */
isascii(0) + isascii(127) + isascii(128) + isascii(-1) /* expect: 2 */
hi = 233 /* expect: -23 */
isalpha(hi) + isprint(hi) + isalpha(233) + isupper(201) /* expect: 0 */
isalpha(65 + 256) /* expect: 0 */
tolower('A') /* expect: 97 */
tolower('z') /* expect: 122 */
tolower('@') /* expect: 64 */
toupper('a') /* expect: 65 */
toupper('{') /* expect: 123 */
toupper(hi) /* expect: -23 */
toupper(-1) /* expect: -1 */
tolower(201) /* expect: 201 */
void main() {}
