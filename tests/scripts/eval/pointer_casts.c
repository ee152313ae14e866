/* Type names with stars, in casts and sizeof: a pointer is 4 bytes; a cast to another pointer
   type is accepted where the pointee types would differ. */
int buf[2];
int *ip;
char *cp;
sizeof(char *) /* expect: 4 */
sizeof(int **) + sizeof(double *) /* expect: 8 */
int casts()
{
    ip = buf;
    cp = (char *)ip;
    cp[0] = 1;
    cp[1] = 1;
    ip = (int *)cp;
    return *ip;
}
casts() /* expect: 257 */
int mismatch()
{
    ip = cp; /* expect error 601: Type mismatch '' */
    cp = buf; /* expect error 601: Type mismatch '' */
    cp = (char *)buf;
    return cp == (char *)ip;
}
mismatch() /* expect: 1 */

void main() { }
