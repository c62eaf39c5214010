#include "composer/auto_fill.h"
