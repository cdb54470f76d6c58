// The script driver: what it refuses, and with which line.
#include <gtest/gtest.h>

#include <algorithm>

#include "editors/control_list.h"
#include "editors/tests/editor_fixture.h"

namespace dav::editors::testing {
namespace {

using ::testing::HasSubstr;

std::string ErrorOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const ScriptError& e) {
    return e.what();
  }
  return "<no error>";
}

TEST(ParseScriptTest, ReadsActionsWithQuotedTextsAndNamesTheBadLine) {
  const std::vector<ScriptAction> actions =
      ParseScript("# comment\n\n  check \"a \"\"b\"\" \\c\"\r\nchoose 7\n");
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(actions[0].line, 3);
  EXPECT_EQ(actions[0].args[0], "a \"b\" \\c");
  EXPECT_TRUE(actions[0].quoted[0]);
  EXPECT_EQ(actions[1].line, 4);
  EXPECT_THAT(ErrorOf([] { ParseScript("ok\nfrobnicate x\n"); }),
              HasSubstr("line 2: unknown action 'frobnicate'"));
  EXPECT_THAT(ErrorOf([] { ParseScript("check\n"); }),
              HasSubstr("line 1: 'check' takes 1 argument, not 0"));
  EXPECT_THAT(ErrorOf([] { ParseScript("check chkA chkB\n"); }),
              HasSubstr("line 1: 'check' takes 1 argument, not 2"));
  EXPECT_THAT(ErrorOf([] { ParseScript("ok\nchoose 5"); }),
              HasSubstr("line 2: choose 6, 7 or close"));
  EXPECT_THAT(ErrorOf([] { ParseScript("text txtPath \"open"); }),
              HasSubstr("line 1: a quoted text is not closed"));
  EXPECT_THAT(ErrorOf([] { ParseScript("ok\nbrowse \"C:\\D\x99\"\n"); }),
              HasSubstr("line 2: the line is not UTF-8 text"));
  EXPECT_THAT(ErrorOf([] { ParseScript("browse \"C:\\D" + std::string(1, '\0') + "x\""); }),
              HasSubstr("line 1: a control character"));
  EXPECT_EQ(ParseScript("browse\t\"C:\\자료\"\r\n")[0].args[0], "C:\\자료")
      << "tabs, CR LF, Korean";
}

class ScriptUiTest : public EditorTest {};

TEST_F(ScriptUiTest, RefusesWhatTheShownFormCannotDoAndAppliesNothing) {
  const std::string doc = Document("");
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "check chkNothing\nok\nchoose 7"); }),
              HasSubstr("line 1: frmSysConfig has no control 'chkNothing'"));
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "check chkUseAccess\nok"); }),
              HasSubstr("line 1: chkUseAccess has 8 elements"));
  EXPECT_THAT(
      ErrorOf([&] { EditSys(doc, "click \"전체선택\""); }),
      HasSubstr("names several controls of frmSysConfig (cmdAllSelect(0), cmdAllSelect(1))"));
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "check \"없는 상자\""); }),
              HasSubstr("line 1: frmSysConfig has no control with the caption \"없는 상자\""));
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "choose 6"); }),
              HasSubstr("line 1: 'choose' is for frmMsg, but frmSysConfig is shown"));
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "ok\nok"); }),
              HasSubstr("line 2: frmMsg has no button cmdOK; choose 6, 7 or close"));
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "check chkUseAccess(0)"); }),
              HasSubstr("the script ended while frmSysConfig was open"));
  EXPECT_THAT(
      ErrorOf([&] { EditWin(doc, "select cboWinSkill(0) \"9 x 9\""); }),
      HasSubstr("line 1: cboWinSkill(0) has no item \"9 x 9\" (items: 800 x 600, 1024 x 768"));
  // A failure inside the choice dialog, after OK built a document: ShowForm does not return it.
  EXPECT_THAT(ErrorOf([&] { EditWin(doc, "ok\nchoose 7 \n"); }), HasSubstr("<no error>"));
  EXPECT_THAT(ErrorOf([&] { EditWin(doc, "ok\nclick cmdOK"); }),
              HasSubstr("line 2: frmMsg has no control 'cmdOK'"));
}

TEST_F(ScriptUiTest, ActionsLeftAfterTheEditorClosedAreReported) {
  ProbeUi ui(ParseScript("cancel\ncheck chkFolder(0)\n"), dialogs_);
  EditorContext context{log_, ui, catalogue_.get(), request_, choice_};
  frmSysConfig form(context);
  EXPECT_EQ(form.ShowForm(Document("")), "");
  ASSERT_EQ(ui.Unused().size(), 1u);
  EXPECT_EQ(ui.Unused()[0].line, 2);
}

TEST_F(ScriptUiTest, ChoiceDialogClosedWithItsCloseBoxAnswers2) {
  ProbeUi ui(ParseScript("choose close"), dialogs_);
  EditorContext context{log_, ui, catalogue_.get(), request_, choice_};
  frmMsg msg(context);
  EXPECT_EQ(msg.ShowForm(), kChoiceClosed);
  EXPECT_EQ(msg.caption, "브리살 윈도우 설정");
}

}  // namespace
}  // namespace dav::editors::testing

namespace dav::editors::testing {
namespace {

TEST_F(ScriptUiTest, AnUnknownControlOrCaptionNamesTheNearOnes) {
  const std::string doc = Document("");
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "check chkUseAcess(0)"); }),
              HasSubstr("has no control 'chkUseAcess'; near: chkUseAccess"));
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "click \"전체 선택\""); }),
              HasSubstr("with the caption \"전체 선택\"; near: \"전체선택\""));
  EXPECT_THAT(ErrorOf([&] { EditSys(doc, "click cmdNothingLikeIt"); }),
              ::testing::EndsWith("has no control 'cmdNothingLikeIt'"));
}

TEST_F(ScriptUiTest, ListedControlsCarryTheirTabAndSideMenuEntry) {
  std::vector<ControlInfo> controls;
  std::string place;
  EditSys(Document(""), "cancel", [&](frmSysConfig& form) {
    controls = ListControls(form);
    for (const ControlInfo& c : controls) {
      if (c.name == "chkControlPanel" && c.index == 1) place = PlaceText(form, c);
    }
  });
  EXPECT_EQ(std::count_if(controls.begin(), controls.end(),
                          [](const ControlInfo& c) { return c.name == "chkUseAccess"; }),
            8)
      << "every element of an array";
  EXPECT_EQ(place, "tab 0 제어판 보안, menu 1 Windows 7") << "the generation is the element";
  const auto find = [&](const std::string& name) {
    for (const ControlInfo& c : controls) {
      if (c.name == name) return c;
    }
    return ControlInfo{};
  };
  EXPECT_EQ(find("fgridFolder").tab, 2);
  EXPECT_EQ(find("chkUseAccess").tab, 1);
  EXPECT_EQ(find("txtPath").caption, "접근 차단 폴더 경로");
  EXPECT_EQ(controls.back().tab, -1) << "OK and Cancel, on every tab, come last";
}

}  // namespace
}  // namespace dav::editors::testing
