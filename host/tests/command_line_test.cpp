#include <gtest/gtest.h>

#include "host/tests/davhost_runner.h"
