#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "DynLib.h"

class PelvorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetModuleSearchFolder(KXBR_MODULE_DIR);
    lib_ = LoadLibrary("Pelvor.dll");
    ASSERT_NE(lib_, nullptr) << SysErrorMessage(GetLastError());
    maxID_ = reinterpret_cast<int (*)()>(GetProcAddress(lib_, "GetMaxBmpID"));
    load_ = reinterpret_cast<LoadProc>(GetProcAddress(lib_, "LoadBmpPixels"));
    ASSERT_NE(maxID_, nullptr);
    ASSERT_NE(load_, nullptr);
  }
  void TearDown() override {
    FreeLibrary(lib_);
    SetModuleSearchFolder("");
  }

  using LoadProc = int (*)(int, int*, int*, uint32_t*, int);
  HMODULE lib_ = nullptr;
  int (*maxID_)() = nullptr;
  LoadProc load_ = nullptr;
};

constexpr uint32_t kTransparent = 0xFF00FF;

TEST_F(PelvorTest, EveryGlyphTheFormsUseIsARealImage) {
  struct Case {
    int number;
    int images;
  } cases[] = {{4, 2},  {8, 1},  {9, 1},  {39, 1}, {47, 1}, {60, 1}, {61, 1},
               {62, 1}, {81, 1}, {90, 1}, {91, 1}, {92, 1}, {93, 1}, {94, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    ASSERT_LE(c.number, maxID_());
    int width = 0, height = 0;
    std::vector<uint32_t> pixels(64 * 64);
    ASSERT_EQ(load_(c.number, &width, &height, pixels.data(), static_cast<int>(pixels.size())), 1);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(width / height, c.images);  // the strip's number of images
    for (int image = 0; image < c.images; ++image) {
      int drawn = 0;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < height; ++x)
          drawn += pixels[y * width + image * height + x] != kTransparent;
      EXPECT_GT(drawn, 16 * 16 / 8) << "image " << image << " is nearly empty";
    }
    EXPECT_EQ(pixels[(height - 1) * width], kTransparent);  // bottom-left marks the background
  }
}

TEST_F(PelvorTest, DisabledImageIsGreyAndWhiteOnly) {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels(32 * 16);
  ASSERT_EQ(load_(4, &width, &height, pixels.data(), static_cast<int>(pixels.size())), 1);
  for (int y = 0; y < height; ++y)
    for (int x = height; x < width; ++x) {
      const uint32_t c = pixels[y * width + x];
      EXPECT_TRUE(c == kTransparent || c == 0x808080 || c == 0xFFFFFF) << x << "," << y;
    }
}

TEST_F(PelvorTest, UnknownNumbersAndShortBuffersFail) {
  int width = -1, height = -1;
  std::vector<uint32_t> pixels(16 * 16);
  for (int number : {0, -1, 5, maxID_() + 1, 1000000}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(load_(number, &width, &height, pixels.data(), 256), 0);
  }
  EXPECT_EQ(load_(4, &width, &height, pixels.data(), 256), 0);  // needs 32 x 16
  EXPECT_EQ(width, 32);
  EXPECT_EQ(height, 16);
  EXPECT_EQ(load_(8, &width, &height, nullptr, 0), 0);
  EXPECT_EQ(load_(8, nullptr, nullptr, pixels.data(), 256), 0);
}
