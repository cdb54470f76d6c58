// What shows the editors of WINCONFIG, SYSCONFIG and davhost edit: a script (--ui
// script:FILE), or the desktop editor when a display is available. Without either the
// command is refused before anything runs.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "editors/form_ui.h"
#include "platform/platform.h"

namespace dav::host {

struct EditorUi {
  std::shared_ptr<editors::FormUi> ui;
  // The failure of the last showing, empty when there was none.
  std::function<std::string()> error;
  // Called after the command: a warning for script lines that were never used.
  std::function<void(std::ostream&)> warnUnused;
};

// Where the desktop editor runs: the machine's folder (simulated PC) and the component
// folder whose log it writes.
struct DesktopEditorPlace {
  std::string machineFolder;
  std::string componentFolder;
  // Runs before the editor's process starts and davhost waits for it (HostContext::Idle).
  std::function<void()> beforeWait;
};

// Message boxes of a script go to dialogs. option is the --ui value: "script:FILE", or empty for
// the desktop editor. A script that cannot be read or has a line that is no action, an unknown
// --ui, or no display and no script, is a CommandError that names what to give (purpose: "WINCONFIG
// opens an editor").
EditorUi ChooseEditorUi(platform::Dialogs& dialogs, const std::string& option,
                        const DesktopEditorPlace& place, const std::string& purpose);

// A CommandError when the editor failed (a script line that could not be carried out, a
// desktop editor that did not run): nothing was applied or written.
void CheckEditorRan(const EditorUi& editor, std::ostream& warnings);

// The desktop editor in a process of its own, so that davhost starts without the UI
// toolkit: the form's document goes to the editor program, its result comes back. Null
// when no display is available or the program is missing (why says which).
std::shared_ptr<editors::FormUi> MakeDesktopEditorUi(const DesktopEditorPlace& place,
                                                     std::string* why,
                                                     std::function<std::string()>* error);

}  // namespace dav::host
