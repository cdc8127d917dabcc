#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "memory/lock.h"

namespace ledview {
namespace {

class LockTest : public testing::Test {
 protected:
  void TearDown() override { LockReleaseAll(); }
};

TEST_F(LockTest, NullHandleReportsWithoutPrinting) {
  uint32_t status = 0;
  testing::internal::CaptureStdout();
  LockWait(nullptr, 0, &status);
  LockRelease(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(status, 255u);
}

TEST_F(LockTest, OwnerWaitsRecursively) {
  LockHandle lock = LockCreate(kLockKindPlay);
  ASSERT_NE(lock, nullptr);
  EXPECT_EQ(lockregistry.count, 1u);
  uint32_t status = 255;
  testing::internal::CaptureStdout();
  for (int i = 0; i < 3; ++i) {
    LockWait(lock, 0, &status);
    EXPECT_EQ(status, 0u);
  }
  for (int i = 0; i < 3; ++i) LockRelease(lock);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(LockTest, OtherThreadTimesOutAtOnceAndGoesOn) {
  LockHandle lock = LockCreate(kLockKindArena);
  ASSERT_NE(lock, nullptr);
  uint32_t status = 0;
  char expected[96];
  std::snprintf(expected, sizeof expected, "Wait for mutex timeout. hMutex = 0x%x\n",
                static_cast<uint32_t>(reinterpret_cast<uintptr_t>(lock)));
  testing::internal::CaptureStdout();
  std::thread other([&] {
    LockWait(lock, 0, &status);
    LockRelease(lock);  // not the owner: must change nothing
  });
  other.join();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
  EXPECT_EQ(status, 255u);

  // The creator still owns it, so a release and a wait still balance.
  LockWait(lock, 0, &status);
  EXPECT_EQ(status, 0u);
  LockRelease(lock);
}

TEST_F(LockTest, ReleasedLockPassesToAnotherThread) {
  LockHandle lock = LockCreate(kLockKindStrings);
  ASSERT_NE(lock, nullptr);
  LockRelease(lock);  // give up the ownership it was created with
  uint32_t status = 255;
  std::thread other([&] {
    LockWait(lock, 0, &status);
    LockRelease(lock);
  });
  other.join();
  EXPECT_EQ(status, 0u);
}

TEST_F(LockTest, ReleaseAllEmptiesTheRegistry) {
  for (int i = 0; i < 3; ++i) ASSERT_NE(LockCreate(kLockKindPlay), nullptr);
  EXPECT_EQ(lockregistry.count, 3u);
  LockReleaseAll();
  EXPECT_EQ(lockregistry.count, 0u);
  for (LockHandle h : lockregistry.handles) EXPECT_EQ(h, nullptr);
}

TEST_F(LockTest, RegistryFullRefusesAndSaysSo) {
  for (int i = 0; i < kLockRegistrySize; ++i) ASSERT_NE(LockCreate(kLockKindPlay), nullptr);
  testing::internal::CaptureStdout();
  EXPECT_EQ(LockCreate(kLockKindPlay), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Create mutex error.");
}

}  // namespace
}  // namespace ledview
