#include "host/editor_ui.h"

#include "editors/form_script.h"
#include "host/command_error.h"
#include "host/host_files.h"

namespace dav::host {

EditorUi ChooseEditorUi(platform::Dialogs& dialogs, const std::string& option,
                        const DesktopEditorPlace& place, const std::string& purpose) {
  EditorUi editor;
  const std::string scheme = "script:";
  if (option.rfind(scheme, 0) == 0) {
    const std::string file = option.substr(scheme.size());
    if (file.empty()) throw CommandError("--ui script:FILE needs a FILE");
    std::string text;
    std::string error;
    if (!ReadHostFile(file, &text, &error)) throw CommandError(error);
    std::vector<editors::ScriptAction> actions;
    try {
      actions = editors::ParseScript(text);
    } catch (const editors::ScriptError& e) {
      throw CommandError("script '" + file + "' " + e.what() + "; nothing was run");
    }
    auto script = std::make_shared<editors::ScriptUi>(std::move(actions), dialogs);
    editor.ui = script;
    editor.error = [script, file] {
      return script->error().empty() ? std::string() : "script '" + file + "' " + script->error();
    };
    editor.warnUnused = [script, file](std::ostream& out) {
      const std::vector<editors::ScriptAction> unused = script->Unused();
      if (!unused.empty()) {
        out << "davhost: warning: script '" << file << "' line " << unused.front().line
            << " and after were not carried out: the editor had closed\n";
      }
    };
    return editor;
  }
  if (!option.empty()) {
    throw CommandError("unknown --ui '" + option + "': give script:FILE");
  }
  std::string why;
  editor.ui = MakeDesktopEditorUi(place, &why, &editor.error);
  if (!editor.ui) {
    throw CommandError(purpose + ", and " + why + ": give --ui script:FILE; nothing was applied");
  }
  return editor;
}

void CheckEditorRan(const EditorUi& editor, std::ostream& warnings) {
  if (editor.warnUnused) editor.warnUnused(warnings);
  if (editor.error) {
    const std::string error = editor.error();
    if (!error.empty()) throw CommandError(error + "; nothing was applied");
  }
}

}  // namespace dav::host
