#include "support/stage_harness.h"
