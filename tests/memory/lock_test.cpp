#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "memory/lock.h"

namespace ledview {
namespace {

class LockTest : public testing::Test {
 protected:
  void TearDown() override { LockReleaseAll(); }
};

// Waits never block: the owner re-enters, another thread is refused at once
// with a message and its release changes nothing.
TEST_F(LockTest, OwnerReentersOthersTimeOutAtOnce) {
  uint32_t status = 0;
  testing::internal::CaptureStdout();
  LockWait(nullptr, 0, &status);
  LockRelease(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(status, 255u);

  LockHandle lock = LockCreate(kLockKindArena);
  ASSERT_NE(lock, nullptr);
  char expected[96];
  std::snprintf(expected, sizeof expected, "Wait for mutex timeout. hMutex = 0x%x\n",
                static_cast<uint32_t>(reinterpret_cast<uintptr_t>(lock)));
  const auto wait_and_release = [&] {
    LockWait(lock, 0, &status);
    LockRelease(lock);
  };
  testing::internal::CaptureStdout();
  LockWait(lock, 0, &status);
  LockWait(lock, 0, &status);
  EXPECT_EQ(status, 0u);
  std::thread(wait_and_release).join();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
  EXPECT_EQ(status, 255u);
  LockRelease(lock);  // the two waits; the creation still holds it
  LockRelease(lock);
  testing::internal::CaptureStdout();
  std::thread(wait_and_release).join();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
  EXPECT_EQ(status, 255u) << "the other thread's release let it go";
  LockRelease(lock);

  std::thread(wait_and_release).join();  // released, it passes to another thread
  EXPECT_EQ(status, 0u);
}

TEST_F(LockTest, RegistryFillsUpAndEmpties) {
  for (int i = 0; i < kLockRegistrySize; ++i) ASSERT_NE(LockCreate(kLockKindPlay), nullptr);
  testing::internal::CaptureStdout();
  EXPECT_EQ(LockCreate(kLockKindPlay), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Create mutex error.");
  LockReleaseAll();
  EXPECT_EQ(lockregistry.count, 0u);
  EXPECT_NE(LockCreate(kLockKindStrings), nullptr);
}

}  // namespace
}  // namespace ledview
