#include <gtest/gtest.h>

#include "platform/FileSystem.h"
