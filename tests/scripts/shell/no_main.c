/* Without main, "run" and the end of the input report 903 and the run ends normally. */
int x;
run /* expect error 903: No main function */
