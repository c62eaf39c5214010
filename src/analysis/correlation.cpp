#include "analysis/correlation.h"
