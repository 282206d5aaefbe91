// A test with the device graphics core open: opened (status system set up
// first) before each test and closed after it.
#pragma once

#include <gtest/gtest.h>

#include "io.h"
#include "vg.h"

namespace kovtest {

class VgOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ST_DEF_SYSTEM(status);
    VG_OPEN(0, status);
    ASSERT_EQ(status, io::status_good);
  }
  void TearDown() override {
    int s = io::status_good;
    VG_CLOSE(s);
  }
  int status = 0;
};

}  // namespace kovtest
