#include "analysis/text_grid.h"
