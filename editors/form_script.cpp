#include "editors/form_script.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <utility>

#include "editors/control_list.h"
#include "editors/frm_msg.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "util/near_words.h"
#include "xml/unicode.h"

namespace dav::editors {
namespace {

// The actions and their numbers of arguments.
const std::map<std::string, std::size_t, std::less<>> kArity{
    {"check", 1},   {"uncheck", 1}, {"click", 1}, {"select", 2}, {"text", 2}, {"cell", 4},
    {"current", 3}, {"hover", 3},   {"tab", 1},   {"menu", 1},   {"add", 1},  {"browse", 1},
    {"ok", 0},      {"cancel", 0},  {"close", 0}, {"choose", 1}};

std::string LineText(int line) {
  return "line " + std::to_string(line) + ": ";
}

bool ParseNumber(std::string_view text, int* number) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, *number);
  return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

int Number(const ScriptAction& action, std::size_t arg) {
  int number = 0;
  if (!ParseNumber(action.args[arg], &number)) {
    throw ScriptError(LineText(action.line) + "'" + action.args[arg] + "' is not a number");
  }
  return number;
}

struct ControlRef {
  std::string name;
  int index = 0;
};

// The captions (labels) of a form's controls, as name and index.
std::vector<ControlRef> WithCaption(const Form& form, const std::string& caption) {
  std::vector<ControlRef> found;
  for (const std::string& name : form.ControlNames()) {
    const int count = form.Count(name);
    for (int i = 0; i < count; ++i) {
      const std::string text = CaptionOf(form, name, i);
      if (!text.empty() && text == caption) found.push_back({name, i});
    }
  }
  return found;
}

std::vector<std::string> Captions(const Form& form) {
  std::vector<std::string> captions;
  for (const ControlInfo& control : ListControls(form)) {
    if (!control.caption.empty() &&
        std::find(captions.begin(), captions.end(), control.caption) == captions.end()) {
      captions.push_back(control.caption);
    }
  }
  return captions;
}

// "; near: chkFolder, chkDesktop" for the names near a misspelt one (captions in quotes), or
// empty; the full list is what "davhost edit --list-controls" prints.
std::string NearText(const std::string& written, const std::vector<std::string>& known,
                     bool quoted) {
  std::string text;
  for (const std::string& near : util::NearWords(written, known, 5)) {
    text += (text.empty() ? "; near: " : ", ") + (quoted ? "\"" + near + "\"" : near);
  }
  return text;
}

std::string Named(const ControlRef& ref, const Form& form) {
  return form.Count(ref.name) > 1 ? ref.name + "(" + std::to_string(ref.index) + ")" : ref.name;
}

ControlRef Resolve(const Form& form, const ScriptAction& action, std::size_t arg) {
  const std::string& token = action.args[arg];
  const std::string where = LineText(action.line);
  if (action.quoted[arg]) {
    const std::vector<ControlRef> found = WithCaption(form, token);
    if (found.empty()) {
      throw ScriptError(where + form.name() + " has no control with the caption \"" + token + "\"" +
                        NearText(token, Captions(form), true));
    }
    if (found.size() > 1) {
      std::string names;
      for (const ControlRef& ref : found) names += (names.empty() ? "" : ", ") + Named(ref, form);
      throw ScriptError(where + "the caption \"" + token + "\" names several controls of " +
                        form.name() + " (" + names + "); name one");
    }
    return found[0];
  }
  ControlRef ref;
  const std::size_t open = token.find('(');
  ref.name = token.substr(0, open);
  if (open != std::string::npos) {
    if (token.back() != ')' ||
        !ParseNumber(std::string_view(token).substr(open + 1, token.size() - open - 2),
                     &ref.index)) {
      throw ScriptError(where + "'" + token + "' is not a control: write NAME or NAME(INDEX)");
    }
  }
  if (form.KindOf(ref.name) == Form::Kind::kNone) {
    throw ScriptError(where + form.name() + " has no control '" + ref.name + "'" +
                      NearText(ref.name, form.ControlNames(), false));
  }
  const int count = form.Count(ref.name);
  if (open == std::string::npos && count > 1) {
    throw ScriptError(where + ref.name + " has " + std::to_string(count) +
                      " elements: name one, as " + ref.name + "(0)");
  }
  if (ref.index < 0 || ref.index >= count) {
    throw ScriptError(where + ref.name + " has no element " + std::to_string(ref.index));
  }
  return ref;
}

bool Enabled(const Form& form, const ControlRef& ref) {
  const auto at = static_cast<std::size_t>(ref.index);
  switch (form.KindOf(ref.name)) {
    case Form::Kind::kCheck:
      return form.Checks(ref.name)[at].enabled;
    case Form::Kind::kOption:
      return form.Options(ref.name)[at].enabled;
    case Form::Kind::kList:
      return form.Lists(ref.name)[at].enabled;
    case Form::Kind::kText:
      return form.Texts(ref.name)[at].enabled;
    case Form::Kind::kButton:
      return form.Buttons(ref.name)[at].enabled;
    case Form::Kind::kGrid:
      return form.Grids(ref.name)[at].enabled;
    case Form::Kind::kNone:
      break;
  }
  return false;
}

// The control, checked to be of one of the kinds and enabled.
ControlRef Usable(const Form& form, const ScriptAction& action, std::size_t arg,
                  std::initializer_list<Form::Kind> kinds) {
  const ControlRef ref = Resolve(form, action, arg);
  const Form::Kind kind = form.KindOf(ref.name);
  bool fits = false;
  for (const Form::Kind k : kinds) fits = fits || k == kind;
  if (!fits) {
    throw ScriptError(LineText(action.line) + "'" + action.verb + "' does not work on the " +
                      KindName(kind) + " " + Named(ref, form));
  }
  if (!Enabled(form, ref)) {
    throw ScriptError(LineText(action.line) + Named(ref, form) + " is disabled");
  }
  return ref;
}

void RequireForm(const Form& form, const ScriptAction& action, std::string_view name) {
  if (form.name() != name) {
    throw ScriptError(LineText(action.line) + "'" + action.verb + "' is for " + std::string(name) +
                      ", but " + form.name() + " is shown");
  }
}

// A button by name, pressed when it is there and enabled.
void Press(Form& form, const ScriptAction& action, const std::string& name) {
  if (form.KindOf(name) != Form::Kind::kButton) {
    throw ScriptError(LineText(action.line) + form.name() + " has no button " + name +
                      (form.name() == "frmMsg" ? "; choose 6, 7 or close" : ""));
  }
  if (!form.Buttons(name)[0].enabled) {
    throw ScriptError(LineText(action.line) + name + " is disabled");
  }
  form.Click(name, 0);
}

}  // namespace

std::vector<ScriptAction> ParseScript(std::string_view text) {
  std::vector<ScriptAction> actions;
  int number = 0;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // The texts of a script end up in controls and documents, which hold UTF-8 text: a
    // byte that is no character, or a control character, would be written into a document
    // that does not read back.
    if (xml::FindInvalidUtf8(line) != std::string_view::npos) {
      throw ScriptError(LineText(number) + "the line is not UTF-8 text");
    }
    for (const char c : line) {
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
        throw ScriptError(LineText(number) + "a control character is no text of an action");
      }
    }
    std::vector<std::string> tokens;
    std::vector<bool> quoted;
    for (std::size_t i = 0; i < line.size();) {
      if (line[i] == ' ' || line[i] == '\t') {
        ++i;
        continue;
      }
      std::string token;
      if (line[i] == '"') {
        bool closed = false;
        for (++i; i < line.size(); ++i) {
          if (line[i] != '"') {
            token += line[i];
          } else if (i + 1 < line.size() && line[i + 1] == '"') {
            token += '"';
            ++i;
          } else {
            closed = true;
            ++i;
            break;
          }
        }
        if (!closed) throw ScriptError(LineText(number) + "a quoted text is not closed");
        quoted.push_back(true);
      } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') token += line[i++];
        quoted.push_back(false);
      }
      tokens.push_back(std::move(token));
    }
    if (tokens.empty() || (!quoted[0] && tokens[0][0] == '#')) continue;
    ScriptAction action;
    action.line = number;
    action.verb = tokens[0];
    action.args.assign(tokens.begin() + 1, tokens.end());
    action.quoted.assign(quoted.begin() + 1, quoted.end());
    const auto arity = kArity.find(action.verb);
    if (quoted[0] || arity == kArity.end()) {
      throw ScriptError(LineText(number) + "unknown action '" + action.verb +
                        "' (check, uncheck, click, select, text, cell, current, hover, tab, "
                        "menu, add, browse, ok, cancel, close, choose)");
    }
    if (action.args.size() != arity->second) {
      throw ScriptError(LineText(number) + "'" + action.verb + "' takes " +
                        std::to_string(arity->second) + " argument" +
                        (arity->second == 1 ? "" : "s") + ", not " +
                        std::to_string(action.args.size()));
    }
    if (action.verb == "choose" && action.args[0] != "6" && action.args[0] != "7" &&
        action.args[0] != "close") {
      throw ScriptError(LineText(number) + "choose 6, 7 or close, not '" + action.args[0] + "'");
    }
    actions.push_back(std::move(action));
  }
  return actions;
}

ScriptUi::ScriptUi(std::vector<ScriptAction> actions, platform::Dialogs& dialogs)
    : actions_(std::move(actions)), dialogs_(dialogs) {}

void ScriptUi::Show(frmWinConfig& form) {
  Drive(form);
}
void ScriptUi::Show(frmSysConfig& form) {
  Drive(form);
}
void ScriptUi::Show(frmMsg& form) {
  Drive(form);
}

int ScriptUi::ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) {
  messages_.push_back(std::string(title) + ": " + std::string(text));
  return dialogs_.ShowMessage(text, title, style);
}

std::string ScriptUi::BrowseForFolder(std::string_view) {
  return std::exchange(folderAnswer_, std::string());
}

std::vector<ScriptAction> ScriptUi::Unused() const {
  return {actions_.begin() + static_cast<std::ptrdiff_t>(next_), actions_.end()};
}

void ScriptUi::Drive(Form& form) {
  ++depth_;
  while (form.isOpen()) {
    if (!error_.empty()) {
      form.CloseBox();
      break;
    }
    if (next_ >= actions_.size()) {
      error_ = "the script ended while " + form.name() + " was open";
      continue;
    }
    const ScriptAction& action = actions_[next_++];
    try {
      Perform(form, action);
    } catch (const ScriptError& e) {
      error_ = e.what();
    } catch (const std::exception& e) {
      error_ = LineText(action.line) + e.what();
    }
  }
  --depth_;
  if (depth_ == 0 && !error_.empty()) throw ScriptError(error_);
}

void ScriptUi::Perform(Form& form, const ScriptAction& action) {
  using Kind = Form::Kind;
  const std::string& verb = action.verb;
  if (verb == "check" || verb == "uncheck") {
    const ControlRef ref = Usable(form, action, 0, {Kind::kCheck});
    form.SetCheck(ref.name, ref.index, verb == "check");
  } else if (verb == "click") {
    const ControlRef ref = Usable(form, action, 0, {Kind::kCheck, Kind::kOption, Kind::kButton});
    form.Click(ref.name, ref.index);
  } else if (verb == "select") {
    const ControlRef ref = Usable(form, action, 0, {Kind::kList});
    const ComboBox& list = form.Lists(ref.name)[static_cast<std::size_t>(ref.index)];
    std::string items;
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      if (list.items[i].text == action.args[1]) {
        form.SelectListItem(ref.name, ref.index, static_cast<int>(i));
        return;
      }
      items += (items.empty() ? "" : ", ") + list.items[i].text;
    }
    throw ScriptError(LineText(action.line) + Named(ref, form) + " has no item \"" +
                      action.args[1] + "\" (items: " + items + ")");
  } else if (verb == "text") {
    const ControlRef ref = Usable(form, action, 0, {Kind::kText});
    form.SetText(ref.name, ref.index, action.args[1]);
  } else if (verb == "cell") {
    const ControlRef ref = Usable(form, action, 0, {Kind::kGrid});
    form.SetCell(ref.name, ref.index, Number(action, 1), action.args[2], action.args[3]);
  } else if (verb == "current" || verb == "hover") {
    const ControlRef ref = Usable(form, action, 0, {Kind::kGrid});
    if (verb == "current") {
      form.SetCurrentCell(ref.name, ref.index, Number(action, 1), Number(action, 2));
    } else {
      form.HoverGrid(ref.name, ref.index, Number(action, 1), Number(action, 2));
    }
  } else if (verb == "tab") {
    form.SelectTab(Number(action, 0));
  } else if (verb == "menu") {
    form.SelectMenu(Number(action, 0));
  } else if (verb == "add") {
    RequireForm(form, action, "frmSysConfig");
    if (!form.Texts("txtPath")[0].enabled)
      throw ScriptError(LineText(action.line) + "txtPath is disabled");
    form.SetText("txtPath", 0, action.args[0]);
    Press(form, action, "cmdInsert");
  } else if (verb == "browse") {
    RequireForm(form, action, "frmWinConfig");
    folderAnswer_ = action.args[0];
    Press(form, action, "cmdExplorer");
    folderAnswer_.clear();
  } else if (verb == "ok" || verb == "cancel") {
    Press(form, action, verb == "ok" ? "cmdOK" : "cmdCancel");
  } else if (verb == "close") {
    form.CloseBox();
  } else if (verb == "choose") {
    RequireForm(form, action, "frmMsg");
    if (action.args[0] == "close") {
      form.CloseBox();
    } else {
      Press(form, action, action.args[0] == "6" ? "Command1" : "Command2");
    }
  }
}

}  // namespace dav::editors
