#include "analysis/integer_text.h"
