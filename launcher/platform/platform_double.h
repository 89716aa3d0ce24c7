// The double's former name, which the update check's tests still include.
#pragma once

#include "tests/support/platform_double.h"
