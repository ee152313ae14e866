/* Time: time() with and without a target, difftime as a double, and strftime from a struct tm the
   script fills itself: every conversion, names at both ends of their ranges and out of them,
   weeks, the '#' flag, unknown conversions, and a buffer without room for the NUL. */
struct tm { int tm_sec, tm_min, tm_hour, tm_mday, tm_mon, tm_year, tm_wday, tm_yday, tm_isdst; } t;
long now, stored;
char out[80];
int made(n, s) int n; char *s; { if (strcmp(out, s)) return -1; return n; }
int set(year, mon, mday, hour, wday, yday) int year, mon, mday, hour, wday, yday;
{
    t.tm_year = year; t.tm_mon = mon; t.tm_mday = mday; t.tm_hour = hour; t.tm_wday = wday; t.tm_yday = yday;
    t.tm_min = 7; t.tm_sec = 9;
    return 0;
}
(now = time(0)) > 1600000000 /* expect: 1 */
(time(&stored) - now < 5) * (stored - now < 5) /* expect: 1 */
difftime(now + 90, now) + difftime(5, 2) / 2 /* expect: 91.5 */
difftime(2147483647, -2147483647 - 1) /* expect: 4.29497e+09 */
/* Tuesday 5 March 2024, 14:07:09 */
set(124, 2, 5, 14, 2, 64) /* expect: 0 */
made(strftime(out, 80, "%Y-%m-%d %H:%M:%S|%a %A %b %h %B %p %I %j %y %C %w %u %U %W", &t), "2024-03-05 14:07:09|Tue Tuesday Mar Mar March PM 02 065 24 20 2 2 09 10") /* expect: 71 */
made(strftime(out, 80, "%c|%x|%X|%D|%F|%R", &t), "03/05/24 14:07:09|03/05/24|14:07:09|03/05/24|2024-03-05|14:07") /* expect: 61 */
made(strftime(out, 80, "%r|%T|%#d|%%|%e|%Z%z|%n%t|%q%#q", &t), "02:07:09 PM|14:07:09|5|%| 5||\n\t|%q%#q") /* expect: 37 */
made(strftime(out, 80, "%#c|%#x|%#j|%#I", &t), "Tuesday, March 5, 2024, 14:07:09|Tuesday, March 5, 2024|65|2") /* expect: 60 */
/* Sunday 1 January 1999 at midnight is 12 AM, Saturday 31 December 2000 at noon 12 PM */
set(99, 0, 1, 0, 0, 0) /* expect: 0 */
made(strftime(out, 80, "%a %B %I %p %U %W %u %y %j", &t), "Sun January 12 AM 01 00 7 99 001") /* expect: 32 */
set(100, 11, 31, 12, 6, 365) /* expect: 0 */
made(strftime(out, 80, "%A %b %I %p %U %W %u %y", &t), "Saturday Dec 12 PM 52 52 6 00") /* expect: 29 */
/* names out of range print "?" */
set(124, 12, 5, 0, 7, 64) + made(strftime(out, 80, "%b %a %m|", &t), "? ? 13|") /* expect: 7 */
set(124, -1, 5, 0, -1, 64) + made(strftime(out, 80, "%B %A|", &t), "? ?|") /* expect: 4 */
/* no room for the NUL gives 0 and leaves the buffer */
strcpy(out, "old") /* expect: 65580 */
strftime(out, 7, "%Y-%m", &t) + strcmp(out, "old") + strftime(out, 1, "", &t) /* expect: 0 */
strftime(out, 8, "%Y-%m", &t) /* expect: 7 */
void main() {}
