// The folder above, which may include the folder below, at any depth.
#include "low/deep/Lower.h"
