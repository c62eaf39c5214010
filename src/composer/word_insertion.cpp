#include "composer/word_insertion.h"
