// The "program" dictionary.
#include "objects/progdict.h"

#include "core/proginfo.h"
#include "fe/exec_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgDict, NameAndId) {
  execfx::start();
  ASSERT_EQ(progInfoInit(), 0);
  char name[256];
  progInfoString(progInfoName, 256, name, "???");
  ASSERT_EQ(feRunString("program /id get program /name get program length program maxlength"), 0);
  EXPECT_EQ(execfx::operands(), std::string("(QTRL) (") + name + ") 2 10");
  execfx::stop();
}

}  // namespace
