#include "analysis/record_reader.h"
