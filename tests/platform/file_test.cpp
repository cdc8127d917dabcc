// The font probe on POSIX: only a regular file is a font file, and nothing
// in its place (a named pipe with no writer, a device) holds the host up.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "ledview.h"
#include "platform/platform.h"

namespace ledview {
namespace {

TEST(FileProbe, OnlyRegularFilesAndNeverBlocks) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("ledview-probe-" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string fifo = (dir / "font.ttf").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);

  EXPECT_TRUE(FileCanOpen(LEDVIEW_TEST_FONT));
  EXPECT_FALSE(FileCanOpen(nullptr));
  EXPECT_FALSE(FileCanOpen((dir / "missing.ttf").c_str()));
  EXPECT_FALSE(FileCanOpen(dir.c_str())) << "a directory";
  EXPECT_FALSE(FileCanOpen("/dev/null")) << "a device";
  const auto begun = std::chrono::steady_clock::now();
  EXPECT_FALSE(FileCanOpen(fifo.c_str())) << "a named pipe";
  // Through the exported call: refused as a file that cannot be opened.
  ASSERT_EQ(InitLedConfigure(32, 16, 1), 0);
  EXPECT_EQ(SetFontPathname(fifo.c_str()), -3);
  ReleasePreview();
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(1));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace ledview
