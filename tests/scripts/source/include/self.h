#include "include/self.h"
depth = depth + 1
