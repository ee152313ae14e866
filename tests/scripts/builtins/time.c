/* Time: time() with and without a target, difftime as a double, and strftime from a struct tm
   the script fills itself (Tuesday 5 March 2024, 14:07:09). */
struct tm {
    int tm_sec;
    int tm_min;
    int tm_hour;
    int tm_mday;
    int tm_mon;
    int tm_year;
    int tm_wday;
    int tm_yday;
    int tm_isdst;
};
struct tm t;
long now;
long stored;
char out[64];

(now = time(0)) > 1600000000 /* expect: 1 */
time(&stored) - now < 5 /* expect: 1 */
difftime(now + 90, now) /* expect: 90 */
difftime(5, 2) / 2 /* expect: 1.5 */
difftime(2147483647, -2147483647 - 1) /* expect: 4.29497e+09 */

t.tm_year = 124 /* expect: 124 */
t.tm_mon = 2 /* expect: 2 */
t.tm_mday = 5 /* expect: 5 */
t.tm_hour = 14 /* expect: 14 */
t.tm_min = 7 /* expect: 7 */
t.tm_sec = 9 /* expect: 9 */
t.tm_wday = 2 /* expect: 2 */
t.tm_yday = 64 /* expect: 64 */
strftime(out, 64, "%Y-%m-%d %H:%M:%S", &t) /* expect: 19 */
strcmp(out, "2024-03-05 14:07:09") /* expect: 0 */
strftime(out, 64, "%a %A %b %B %p %I %j %y %w %U %W", &t) /* expect: 42 */
strcmp(out, "Tue Tuesday Mar March PM 02 065 24 2 09 10") /* expect: 0 */
strftime(out, 64, "%c|%x|%X|%#d|%%|%e", &t) /* expect: 42 */
strcmp(out, "03/05/24 14:07:09|03/05/24|14:07:09|5|%| 5") /* expect: 0 */
strftime(out, 64, "%#c", &t) /* expect: 32 */
strcmp(out, "Tuesday, March 5, 2024, 14:07:09") /* expect: 0 */

/* no room for the NUL gives 0 and leaves the buffer */
strcpy(out, "old") /* expect: 65580 */
strftime(out, 7, "%Y-%m", &t) + strcmp(out, "old") + strftime(out, 1, "", &t) /* expect: 0 */
strftime(out, 8, "%Y-%m", &t) /* expect: 7 */

/* midnight is 12 AM; names out of range print "?" */
t.tm_hour = 0 /* expect: 0 */
t.tm_mon = 12 /* expect: 12 */
t.tm_wday = -1 /* expect: -1 */
strftime(out, 64, "%I %p %b %a %m", &t) /* expect: 12 */
strcmp(out, "12 AM ? ? 13") /* expect: 0 */

void main() {}
