#include "analysis/analysis_state.h"
