// The value types that cross module boundaries: the owning image and the
// numbered file series record.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "io.h"

namespace {

TEST(ImageTest, AllocationKeepsStorageForTheSameSizeAndFailsWithoutThrowing) {
  io::Image<float> image;
  ASSERT_TRUE(image.allocate(3, 2));
  image(3, 2) = 7.0f;
  image.xnumdat = 3;
  image.ynumdat = 2;
  const float* storage = image.data();
  EXPECT_EQ(&image.view()(3, 2), storage + 5);  // first index fastest, from 1

  // The same size again: the same memory, zeroed, nothing defined.
  ASSERT_TRUE(image.allocate(3, 2));
  EXPECT_EQ(image.data(), storage);
  EXPECT_EQ(image(3, 2), 0.0f);
  EXPECT_EQ(image.xnumdat, 0);
  EXPECT_EQ(image.ynumdat, 0);

  // Bad dimensions and sizes no memory can hold leave an empty image.
  for (auto [x, y] :
       {std::pair{0, 5}, std::pair{5, -1},
        std::pair{std::numeric_limits<int>::max(), std::numeric_limits<int>::max()}}) {
    io::Image<double> big;
    EXPECT_FALSE(big.allocate(x, y));
    EXPECT_TRUE(big.empty());
    EXPECT_EQ(big.xmaxdat(), 0);
    EXPECT_TRUE(big.view().empty());
  }
}

TEST(FileSeriesTest, RecordFormGivesTheSameSeries) {
  int status = io::status_good, retstat = 99;
  io::FileSeries series;
  IO_FILESEQUENCE("dir/run3_dark.edf", "dir/run12_dark.edf", retstat, series, status);
  EXPECT_EQ(retstat, 0);
  EXPECT_EQ(series.first, 3);
  EXPECT_EQ(series.last, 12);
  EXPECT_EQ(series.step, 1);
  EXPECT_EQ(series.prefix, "dir/run");
  EXPECT_TRUE(series.variable);
  EXPECT_EQ(series.postfix, "_dark");
  EXPECT_EQ(series.extension, ".edf");
  std::string name;
  IO_FILENAME(series.prefix, 7, !series.variable, series.digits, series.postfix + series.extension,
              retstat, name, status);
  EXPECT_EQ(name, "dir/run7_dark.edf");
}

}  // namespace
