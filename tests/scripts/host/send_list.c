/* ktXferSendList hands the host a copy of the script's list up to its first 0 (at most 100 entries)
   below the running frame; a list that leaves the arena is refused with 102, without calling the host. */
int list[160];
int *q;
void fill(at, n) int *at; int n; { int i; for (i = 0; i < n; i = i + 1) at[i] = i + 1; at[n] = 0; }
(list[0] = 7) + (list[1] = 3) + (list[2] = 9) + (list[3] = 0) /* expect: 19 */
ktXferSendList(1, list, 2) /* expect: ktXferSendList(1, [7, 3, 9, 0], 2) */ /* expect: 0 */
list[0] = 0 /* expect: 0 */
ktXferSendList(1, list, 2) /* expect: ktXferSendList(1, [0], 2) */ /* expect: 0 */
fill(list, 150);
ktXferSendList(-1, list, -2) /* expect: ktXferSendList(-1, [1..100, 0], -2) */ /* expect: 0 */
fill(list, 100);
ktXferSendList(1, list + 4, 2) /* expect: ktXferSendList(1, [2..100, 0], 2) */ /* expect: 0 */
/* 100 entries that end with the arena's last byte need no 0 after them; 3 entries there do */
/* (the top of the arena is the call stack: filled by a built-in, not by a script function) */
memcpy(q = 81920 - 400, list, 400) /* expect: 81520 */
ktXferSendList(1, q, 2) /* expect: ktXferSendList(1, [1..100, 0], 2) */ /* expect: 0 */
(q = 81920 - 12) - 81908 + (q[0] = 1) + (q[1] = 2) + (q[2] = 3) /* expect: 6 */
ktXferSendList(1, q, 2) + ktXferSendList(1, 0, 2) /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */ /* expect: 0 */
ktXferSendList(1, 81920, 2) + ktXferSendList(1, 65534, 2) /* expect error 102: Memory overflow */ /* expect error 102: Memory overflow */ /* expect: 0 */
/* inside a function the copy leaves the frame alone */
int in_frame() {
  int before, mine[3], after;
  before = 11; after = 22; mine[0] = 5; mine[1] = 0;
  ktXferSendList(1, mine, 2);
  return before + after + mine[0] + mine[1];
}
in_frame() /* expect: ktXferSendList(1, [5, 0], 2) */ /* expect: 38 */
void main() {}
