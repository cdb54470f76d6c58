#include "util/procedure.h"

#include <gtest/gtest.h>

#include "util/run_time_error.h"
#include "util/tests/util_test_support.h"

namespace dav::util {
namespace {

class ProcedureTest : public ::testing::Test, public testing::UtilFixture {
 protected:
  std::string Lines() { return ReadText(log->LogFilePath()); }
};

TEST_F(ProcedureTest, GoesOnAfterAFailingStep) {
  std::vector<int> ran;
  {
    Procedure proc(*log, "CCDavIrizevez", "SyncReg");
    EXPECT_TRUE(proc.Step(10, [&] { ran.push_back(10); }));
    EXPECT_FALSE(proc.Step(20, [&] { throw RunTimeError(kErrTypeMismatch); }));
    EXPECT_TRUE(proc.Step(30, [&] { ran.push_back(30); }));
  }
  EXPECT_EQ(ran, (std::vector<int>{10, 30}));
  EXPECT_EQ(Lines(),
            "[2026-12-08 15:04:05]\tCCDavIrizevez.SyncReg Start\r\n"
            "[2026-12-08 15:04:05]\t[err:CCDavIrizevez.SyncReg] line 20, 13, Type mismatch\r\n"
            "[2026-12-08 15:04:05]\tCCDavIrizevez.SyncReg End\r\n");
}

TEST_F(ProcedureTest, EndsAtTheFirstFailureAndStillLogsEnd) {
  bool reached = false;
  {
    Procedure proc(*log, "CCDavIrizevez", "IClientComponent_Handle");
    try {
      proc.Line(30);
      throw std::out_of_range("protocol field 1 missing");
      proc.Line(40);
      reached = true;
    } catch (...) {
      proc.LogFailure();
    }
  }
  EXPECT_FALSE(reached);
  EXPECT_NE(Lines().find("[err:CCDavIrizevez.IClientComponent_Handle] line 30, 440, "
                         "protocol field 1 missing\r\n"),
            std::string::npos)
      << Lines();
  EXPECT_NE(Lines().find("IClientComponent_Handle End"), std::string::npos);
}

TEST_F(ProcedureTest, CustomFailureLineAndQuietProcedures) {
  Procedure proc(*log, "CCDavIrizevez", "IClientComponent_Initialize",
                 Procedure::Logging::FailuresOnly);
  proc.Step(
      50, [] { throw RunTimeError(kErrObjectNotSet); },
      [&](int step, const Failure& f) {
        log->Debug("에러라인 -> " + std::to_string(step) + " , " + f.description);
      });
  EXPECT_EQ(ReadText(log->DebugLogPath()),
            "2026-12-08 오후 3:04:05 : 에러라인 -> 50 , Object variable or With block variable "
            "not set\r\n");
  EXPECT_EQ(Lines(), "<missing>") << "FailuresOnly writes no Start line";
}

}  // namespace
}  // namespace dav::util
