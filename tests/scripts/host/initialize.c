/* ktInitialize hands the host 0 and the three start-up values, whatever the script passes: the
   instance (POSIX: the process id), the previous instance (0) and the command line (POSIX: 0,
   the text comes with the attach call). */
ktInitialize() /* expect: ktInitialize(0, instance, 0, command line) */ /* expect: 0 */
ktInitialize(5, 6, 7, 8) /* expect: ktInitialize(0, instance, 0, command line) */ /* expect: 0 */

void main() {}
