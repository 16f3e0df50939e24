#include <gtest/gtest.h>

#include "strings/TextString.h"
