/* #define: bodies are source text read again where the name is used. */
#define BASE 40
#define NEXT BASE + 2
#define LATE EARLY * 2
#define EARLY 5
#define SUM 1 + 2
#define EMPTY
#define BLANKS   
#define NOTED 9 /* the comment is part of the body */
#define WORD int
/* A second definition is refused (the report comes after its line end); the first stays. */
#define BASE 1
/* expect error 600 line 13: Redefinition of 'BASE' */
/* A name must start with a letter or "_"; what follows a refused name is read as source. */
#define 9X 3
/* expect error 201 line 15: Invalid indentifier */
/* expect: 3 */
#define
/* expect error 201 line 19: Invalid indentifier */
int self = 4;
int ping = 10;
int pong = 3;
#define self self + 1
#define ping pong * 2
#define pong ping + 1
WORD k = EMPTY 7 BLANKS;
NEXT /* expect: 42 */
LATE /* expect: 10 */
SUM * 3 /* expect: 7 */
EMPTY k BLANKS /* expect: 7 */
NOTED /* expect: 9 */
"BASE"[0] /* expect: 66 */
/* A name that leads back to itself is reported and then read as an ordinary name. */
self /* expect error 200: Bad syntax 'self' */
/* expect: 5 */
ping /* expect error 200: Bad syntax 'ping' */
/* expect: 12 */
pong /* expect error 200: Bad syntax 'pong' */
/* expect: 7 */
/* A directive must start its line: after a one-character token it is not one, and the rest of
   the line is read as source. */
int after; #define Q 1 /* expect error 502: Unexpected character '#' */ /* expect error 200: Bad syntax '#' */ /* expect error 401: Unknown type */ /* expect error 200: Bad syntax 'Symbol' */ /* expect: 0 */ /* expect: 0 */ /* expect: 1 */
int main() { return 0; }
