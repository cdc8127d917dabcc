// The Win32 side of the platform layer: the font probe, the mutexes, the
// heap, local time, messages and window handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/window.h"

namespace ledview {
namespace {

TEST(Win32FileProbe, OnlyFilesOnDiskThatNobodyHoldsOpen) {
  EXPECT_TRUE(FileCanOpen(LEDVIEW_TEST_FONT));
  EXPECT_FALSE(FileCanOpen(nullptr));
  EXPECT_FALSE(FileCanOpen("Z:/nonexistent/font.ttf"));
  EXPECT_FALSE(FileCanOpen("Z:/usr/share"));  // a directory
  EXPECT_FALSE(FileCanOpen("NUL"));           // devices open, but are no files
  EXPECT_FALSE(FileCanOpen("CONIN$"));
  // The probe shares the file with nobody, and closes it again.
  HANDLE held = CreateFileA(LEDVIEW_TEST_FONT, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FileCanOpen(LEDVIEW_TEST_FONT));
  CloseHandle(held);
  ASSERT_TRUE(FileCanOpen(LEDVIEW_TEST_FONT));
  HANDLE alone = CreateFileA(LEDVIEW_TEST_FONT, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(alone, INVALID_HANDLE_VALUE);
  CloseHandle(alone);
}

TEST(Win32Mutex, OwnedRecursiveRefusedToOthersAndInheritedFromTheDead) {
  PlatformMutex* mutex = MutexCreateOwned();
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(MutexWait(mutex, 0), MutexWaitResult::Acquired);  // the owner re-enters
  MutexWaitResult other = MutexWaitResult::Acquired;
  bool released = true;
  std::thread([&] {
    other = MutexWait(mutex, 20);
    released = MutexRelease(mutex);
  }).join();
  EXPECT_EQ(other, MutexWaitResult::Timeout);
  EXPECT_FALSE(released);  // not its to release
  EXPECT_TRUE(MutexRelease(mutex));
  EXPECT_TRUE(MutexRelease(mutex));
  EXPECT_FALSE(MutexRelease(mutex));  // both acquisitions undone
  MutexClose(mutex);

  // A mutex whose owner ended without releasing it passes to the next waiter.
  PlatformMutex* orphan = nullptr;
  std::thread([&] { orphan = MutexCreateOwned(); }).join();
  ASSERT_NE(orphan, nullptr);
  EXPECT_EQ(MutexWait(orphan, 0), MutexWaitResult::Acquired);
  EXPECT_TRUE(MutexRelease(orphan));
  MutexClose(orphan);
  EXPECT_EQ(MutexWait(nullptr, 0), MutexWaitResult::Failed);
}

TEST(Win32Heap, BlocksAreZeroedAndFromTheProcessHeap) {
  auto* block = static_cast<uint8_t*>(HeapBlockAlloc(4096));
  ASSERT_NE(block, nullptr);
  EXPECT_GE(HeapSize(GetProcessHeap(), 0, block), size_t{4096});
  for (int i = 0; i < 4096; ++i) ASSERT_EQ(block[i], 0) << i;
  HeapBlockFree(block);
  HeapBlockFree(nullptr);
  HeapBlockFailNext();
  EXPECT_EQ(HeapBlockAlloc(16), nullptr);
  void* again = HeapBlockAlloc(16);
  EXPECT_NE(again, nullptr);
  HeapBlockFree(again);
}

// The C runtime's local time follows TZ in its own format (name, hours
// west of UTC), which POSIX systems read alike.
TEST(Win32Clock, LocalTimeFollowsTheRuntimesTimeZone) {
  const char* saved = std::getenv("TZ");
  const std::string restore = std::string("TZ=") + (saved != nullptr ? saved : "");
  std::tm t{};
  _putenv("TZ=UTC");
  _tzset();
  ASSERT_TRUE(ClockLocalTime(1700000000, &t));  // 2023-11-14 22:13:20 UTC
  EXPECT_EQ(t.tm_year, 123);
  EXPECT_EQ(t.tm_mon, 10);
  EXPECT_EQ(t.tm_mday, 14);
  EXPECT_EQ(t.tm_hour, 22);
  EXPECT_EQ(t.tm_min, 13);
  EXPECT_EQ(t.tm_wday, 2);
  _putenv("TZ=CST-8");
  _tzset();
  ASSERT_TRUE(ClockLocalTime(1700000000, &t));
  EXPECT_EQ(t.tm_mday, 15);
  EXPECT_EQ(t.tm_hour, 6);
  EXPECT_EQ(ClockFromLocal(&t), 1700000000);
  std::tm overflow{};
  overflow.tm_year = 124;
  overflow.tm_mon = 0;
  overflow.tm_mday = 32;  // January 32nd is February 1st
  overflow.tm_hour = 8;
  EXPECT_EQ(ClockFromLocal(&overflow), 1706745600);  // 2024-02-01 00:00 UTC
  EXPECT_EQ(overflow.tm_mon, 1);
  EXPECT_EQ(overflow.tm_mday, 1);
  // Times before 1970 are refused rather than made up.
  EXPECT_FALSE(ClockLocalTime(-100000, &t));
  _putenv(restore.c_str());
  _tzset();
}

TEST(Win32Messages, UnattendedRunsSayThemOnStandardError) {
  ASSERT_TRUE(SetEnvironmentVariableA("LEDVIEW_UNATTENDED", "1"));
  testing::internal::CaptureStderr();
  ShowErrorMessage("Create file failure!");
  ShowWindowMessage(nullptr, "错误", "节目文件内容错误!");
  ShowWindowMessage(nullptr, nullptr, nullptr);  // nothing to say
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Create file failure!\nError: 节目文件内容错误!\n");
}

TEST(Win32Windows, IdsAreLiveWindowHandles) {
  EXPECT_EQ(WindowIdOf(nullptr), 0u);
  int notawindow = 0;
  EXPECT_EQ(WindowIdOf(&notawindow), 0u);
  EXPECT_EQ(WindowFromId(0), nullptr);
  // A message-only window needs no display.
  HWND hwnd = CreateWindowA("STATIC", "probe", WS_POPUP, 0, 0, 40, 30, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (hwnd == nullptr) GTEST_SKIP() << "no window could be made";
  const uint32_t id = WindowIdOf(hwnd);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(WindowFromId(id), hwnd);
  WindowRect area{};
  ASSERT_TRUE(WindowDrawingArea(hwnd, &area));
  EXPECT_EQ(area.right - area.left, 40);
  EXPECT_EQ(area.bottom - area.top, 30);
  DestroyWindow(hwnd);
  EXPECT_EQ(WindowFromId(id), nullptr);
  EXPECT_FALSE(WindowDrawingArea(nullptr, &area));
}

}  // namespace
}  // namespace ledview
