#include "analysis/report.h"
