#include <gtest/gtest.h>

#include "paths/PathString.h"
