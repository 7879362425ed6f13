// A file in a sub-folder of the folder below, which includes a header of the folder above:
// the wrong way, however deep it lies.
#include "high/Upper.h"
