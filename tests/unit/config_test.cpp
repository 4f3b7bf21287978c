#include <gtest/gtest.h>
#include "config/config.h"
#include "tests/fakes/fake.h"
TEST(Smoke, Defaults) { fake::Reset(); config = DEFAULT_CONFIG; ReadConfig(); EXPECT_EQ(config.icon_size, 16); }
