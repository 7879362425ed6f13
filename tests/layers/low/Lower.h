// A folder below, which includes a header of the folder above: the wrong way.
#include "high/Upper.h"
