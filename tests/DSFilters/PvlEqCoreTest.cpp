#include "DSFilters/PvlEqCore.h"
#include <gtest/gtest.h>
