#include "analysis/symptom_table.h"
