#include "util/log.h"

#include <gtest/gtest.h>

#include "util/run_time_error.h"
#include "util/tests/util_test_support.h"

namespace dav::util {
namespace {

using namespace std::chrono;
using testing::At;

class LogTest : public ::testing::Test, public testing::UtilFixture {};

TEST_F(LogTest, FirstLineCreatesTheLogFolderAndUsesTheComponentName) {
  ASSERT_FALSE(Exists(folder() + "\\log"));
  log->Write("CCDavIrizevez.SyncReg Start");
  log->Write("두 번째 줄");
  EXPECT_EQ(ReadText(folder() + "\\log\\DavIrizevez261208.log"),
            "[2026-12-08 15:04:05]\tCCDavIrizevez.SyncReg Start\r\n"
            "[2026-12-08 15:04:05]\t두 번째 줄\r\n");
}

TEST_F(LogTest, PrefixNamesItsOwnFileAndLinesAreStoredInTheCodePage) {
  log->Write("시작 프로그램", "SPM");
  std::string bytes;
  ASSERT_EQ(platform().files().ReadAll(folder() + "\\log\\SPM261208.log", &bytes),
            platform::kErrorSuccess);
  EXPECT_EQ(bytes, "[2026-12-08 15:04:05]\t" + ToAnsi(platform(), "시작 프로그램") + "\r\n");
  EXPECT_FALSE(Exists(folder() + "\\log\\DavIrizevez261208.log"));
}

TEST_F(LogTest, DebugLineUsesTheGeneralDateFormat) {
  log->Debug("스타트");
  EXPECT_EQ(ReadText(folder() + "\\New_Debug_2026-12-08.log"),
            "2026-12-08 오후 3:04:05 : 스타트\r\n");
}

TEST_F(LogTest, DebugLogOfFirstMarchDeletesLastDayOfFebruary) {
  for (auto [year, lastFebruary] : {std::pair{2027, 28}, std::pair{2028, 29}}) {
    clock->Set(At(std::chrono::year{year} / 2 / lastFebruary, 23, 59, 58));
    log->Debug("before midnight");
    const std::string february = log->DebugLogPath();
    clock->Set(At(std::chrono::year{year} / 3 / 1, 0, 0, 1));
    log->Debug("after midnight");
    EXPECT_FALSE(Exists(february)) << february << " should be gone in " << year;
    EXPECT_EQ(ReadText(log->DebugLogPath()),
              std::to_string(year) + "-03-01 오전 12:00:01 : after midnight\r\n");
  }
}

TEST_F(LogTest, WritersIgnoreAFolderThatCannotBeWritten) {
  Log broken(platform(), "Q:\\no such drive");
  broken.Write("lost");
  broken.Debug("lost");
  SUCCEED() << "neither writer may fail";
}

TEST_F(LogTest, ErrorReporterLogsAndRaisesAgain) {
  try {
    log->ReportError("mdSPM.GetRegHKey", 13, "Type mismatch", false);
    FAIL() << "keep going false must raise";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.source(), "mdSPM.GetRegHKey");
  }
  // All bits of 0x80040000 set: the run-time's message for the number less those bits.
  const std::int32_t objectError = static_cast<std::int32_t>(0x80040000u + 9u);
  EXPECT_NO_THROW(log->ReportError("modDavIrizevez.X", objectError, "ignored", true));
  EXPECT_EQ(ReadText(log->DebugLogPath()),
            "2026-12-08 오후 3:04:05 :  [mdSPM.GetRegHKey] \t13\tType mismatch\r\n"
            "2026-12-08 오후 3:04:05 :  [modDavIrizevez.X] \t" +
                std::to_string(objectError) + "\tSubscript out of range\r\n");
}

}  // namespace
}  // namespace dav::util
