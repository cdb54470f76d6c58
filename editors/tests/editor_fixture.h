// An editor over a scratch component folder (for its log), an adapter with a mode list the
// test chooses, and a script that plays the user. A probe sees the loaded form when it is
// shown, before the script acts on it.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editors/editor_context.h"
#include "editors/form_script.h"
#include "editors/frm_msg.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "platform/tests/test_environment.h"

namespace dav::editors::testing {

inline platform::DisplayMode Mode(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                                  std::uint32_t frequency) {
  return platform::DisplayMode{0x5C0000, bits, width, height, frequency};
}

// An adapter with a fixed list of modes that changes nothing.
class ListedDisplay : public platform::Display {
 public:
  ListedDisplay(std::vector<platform::DisplayMode> modes, platform::DisplayMode current)
      : modes_(std::move(modes)), current_(current) {}
  bool ModeSettings(std::uint32_t number, platform::DisplayMode* mode) override {
    if (number == platform::kEnumCurrentSettings) {
      *mode = current_;
      return true;
    }
    if (number >= modes_.size()) return false;
    *mode = modes_[number];
    return true;
  }
  std::int32_t ChangeModeEx(const platform::DisplayMode&, std::uint32_t) override { return 0; }
  std::int32_t ChangeMode(const platform::DisplayMode&, std::uint32_t) override { return 0; }

 private:
  std::vector<platform::DisplayMode> modes_;
  platform::DisplayMode current_;
};

// Message boxes answered with OK and kept.
class RecordingDialogs : public platform::Dialogs {
 public:
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t) override {
    shown.push_back(std::string(title) + ": " + std::string(text));
    return platform::kIdOk;
  }
  std::vector<std::string> shown;
};

class ProbeUi : public ScriptUi {
 public:
  using ScriptUi::ScriptUi;
  std::function<void(Form&)> probe;  // before the script acts
  std::function<void(Form&)> after;  // when the form has closed
  void Show(frmWinConfig& form) override { Drive(form); }
  void Show(frmSysConfig& form) override { Drive(form); }

 private:
  template <typename FormType>
  void Drive(FormType& form) {
    if (probe) probe(form);
    ScriptUi::Show(form);
    if (after) after(form);
  }
};

class EditorTest : public ::testing::Test {
 protected:
  EditorTest()
      : env_(platform::testing::MakeTestEnvironment()),
        log_(env_->platform(), env_->scratchFolder() + "\\Components\\DavIrizevez"),
        clock_(platform::LocalTime{}) {
    UseModes({Mode(800, 600, 16, 60), Mode(800, 600, 32, 60), Mode(800, 600, 32, 75),
              Mode(1024, 768, 32, 60), Mode(1024, 768, 32, 75), Mode(1280, 1024, 16, 1)},
             Mode(1024, 768, 32, 75));
  }

  void UseModes(std::vector<platform::DisplayMode> modes, platform::DisplayMode current) {
    catalogue_.reset();
    display_ = std::make_unique<ListedDisplay>(std::move(modes), current);
    catalogue_ = std::make_unique<clsAvailableInfo>(*display_, clock_);
  }

  // Shows the editor on the document with the script as the user; the probe sees the form
  // as loaded. Returns ShowForm's result.
  template <typename FormType>
  std::string Edit(const std::string& document, const std::string& script,
                   const std::function<void(FormType&)>& probe = {},
                   const std::function<void(FormType&)>& after = {}) {
    ProbeUi ui(ParseScript(script), dialogs_);
    if (probe) ui.probe = [&](Form& form) { probe(static_cast<FormType&>(form)); };
    if (after) ui.after = [&](Form& form) { after(static_cast<FormType&>(form)); };
    EditorContext context{log_, ui, catalogue_.get(), request_, choice_};
    FormType form(context);
    return form.ShowForm(document);
  }
  std::string EditWin(const std::string& document, const std::string& script,
                      const std::function<void(frmWinConfig&)>& probe = {}) {
    return Edit<frmWinConfig>(document, script, probe);
  }
  std::string EditSys(const std::string& document, const std::string& script,
                      const std::function<void(frmSysConfig&)>& probe = {},
                      const std::function<void(frmSysConfig&)>& after = {}) {
    return Edit<frmSysConfig>(document, script, probe, after);
  }

  static std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
           "SpecVersion=\"1.0.0\">" +
           body + "</Configuration></DocRoot>";
  }

  std::unique_ptr<platform::testing::TestEnvironment> env_;
  util::Log log_;
  platform::FakeClock clock_;
  std::unique_ptr<ListedDisplay> display_;
  std::unique_ptr<clsAvailableInfo> catalogue_;
  RecordingDialogs dialogs_;
  catalogue::DisplayRequest request_;
  std::int32_t choice_ = 0;
};

}  // namespace dav::editors::testing
