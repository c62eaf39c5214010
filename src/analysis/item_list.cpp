#include "analysis/item_list.h"
