// Tests that drive the engine start and end with it released, whatever a
// failed assertion left behind.
#pragma once
#include <gtest/gtest.h>

#include "ledview.h"

namespace ledview::test {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ReleasePreview(); }
  void TearDown() override { ReleasePreview(); }
};

}  // namespace ledview::test
