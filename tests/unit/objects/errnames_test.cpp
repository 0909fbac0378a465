// The names of the program's error codes: looked up by code, seen by
// errordict handlers and printed by the error report.
#include "objects/errnames.h"

#include "fe/exec_fixture.h"
#include "fe/expeval.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ErrNames : public ::testing::Test {
 protected:
  void SetUp() override {
    execfx::start();
    errNamesInit();
  }
  void TearDown() override { execfx::stop(); }
};

TEST_F(ErrNames, CodesToNames) {
  const struct {
    int code;
    const char* name;
  } cases[] = {
      {-4097, "UndoOff"},        {-4108, "MouseUp"},   {-4109, nullptr},          {-4110, "TableFull"},
      {-4127, "NoMethod"},       {-4128, "CannotHideWorkLayer"},                  {-4134, "MissingLeftParen"},
      {-4135, "ExpressionSyntax"}, {-4140, "FileTruncated"}, {-4141, "VarNotDefined"}, {-4147, "StringTooLong"},
      {-4148, nullptr},          {-4149, "NonPlanar"}, {-4157, "ReadOnly"},       {-4158, nullptr},
      {13, "DiskLocked"},        {32, "DiskFull"},     {265, "undefined"},
  };
  for (const auto& c : cases) {
    const char* name = feErrorName(c.code);
    if (!c.name) {
      EXPECT_EQ(name, nullptr) << c.code;
    } else {
      ASSERT_NE(name, nullptr) << c.code;
      EXPECT_STREQ(name, c.name) << c.code;
    }
  }
}

TEST_F(ErrNames, ReportsAndHandlersUseTheNames) {
  expEvalInit('.');
  EXPECT_EQ(feRunString("(w+1) ?"), -4141);
  EXPECT_NE(execfx::output().find("%%[ Error: VarNotDefined; OffendingCommand: ? ]%%"), std::string::npos)
      << execfx::output();

  execfx::output().clear();
  ASSERT_EQ(feRunString("errordict /FileTruncated { pop (caught) == } put"), 0);
  feRunString("-4140 xtFail");
  EXPECT_NE(execfx::output().find("(caught)"), std::string::npos) << execfx::output();
  feRunString("errordict /FileTruncated undef");

  // A code without a name is reported as its number.
  execfx::output().clear();
  EXPECT_EQ(feRunString("-4148 xtFail"), -4148);
  EXPECT_NE(execfx::output().find("Error: -4148;"), std::string::npos) << execfx::output();
}

}  // namespace
