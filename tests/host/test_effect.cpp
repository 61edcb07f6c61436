#include "test_effect.h"

Counters counters;
