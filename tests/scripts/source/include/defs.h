int in_defs = 3;
#define FROM_DEFS 42
#bogus
int after_bogus = 4;
