// The folder above, which may include the folder below.
#include "low/Lower.h"
