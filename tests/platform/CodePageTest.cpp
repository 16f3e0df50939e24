#include <gtest/gtest.h>

#include "platform/CodePage.h"
