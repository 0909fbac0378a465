// A clean platform layer for every test, and nothing left behind after it.
#ifndef PLUMET_TESTS_PLATFORM_FIXTURE_H
#define PLUMET_TESTS_PLATFORM_FIXTURE_H

#include <platform_test.h>
#include <windows.h>

#include <gtest/gtest.h>

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { plTestReset(); }
  void TearDown() override { plTestReset(); }
};

#endif
