// mdTypeDefine: the start program list and the desktop icon list as the document sections
// StartProgramManager and DesktopIconManager, and the frame around a whole configuration
// document.
//
// The start program manager and the desktop icon manager work on the records below; the
// document producers, appliers and editors use the writers, readers and the frame.
//
//   <StartProgramManager Protected="True">
//   <RunKeyList>
//   <RunKey HKey="-2147483646" Path="..." Name="..." Command="..." IsPrevStart="True"
//           Checked="True" Deleted="False" />            (one line in the document)
//   </RunKeyList>
//   </StartProgramManager>
//   <DesktopIconManager Protected="False">
//   <IconList>
//   <Icon FileName="R&amp;D.lnk" Checked="1" />
//   </IconList>
//   </DesktopIconManager>
//
// Each line ends with CR LF. A list without entries writes no RunKeyList or IconList.
// The legacy settings document keeps its IconList inside StartProgramManager, after the
// RunKeyList; only ParseSPMListLegacy reads that form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "util/log.h"

namespace dav::mdTypeDefine {

// One start program entry (one RunKey element).
struct UType_SPMData {
  std::string spmFileName;      // Name: the Run value's name
  std::string spmPathSwitch;    // Command: the Run value's data, the command line
  bool spmIsStart = false;      // Checked: starts with Windows
  bool spmIsPrevStart = false;  // IsPrevStart: was started before
  std::string spmRegPath;       // Path: which Run key it lives in
  std::int32_t spmRegHKey = 0;  // HKey: the hive handle in signed decimal ("-2147483646")
  bool spmDelete = false;       // Deleted: to be removed

  friend bool operator==(const UType_SPMData&, const UType_SPMData&) = default;
};

// One desktop icon (one Icon element).
struct UType_DIData {
  std::string diFileName;   // FileName: the icon file's name on the desktop
  std::int16_t diFlag = 0;  // Checked: 1 shown, 0 hidden

  friend bool operator==(const UType_DIData&, const UType_DIData&) = default;
};

// The attributes a RunKey and an Icon element must carry for the readers to accept them.
inline constexpr std::string_view kRunKeyAttributes[] = {
    "Name", "Command", "Checked", "IsPrevStart", "Path", "HKey", "Deleted"};
inline constexpr std::string_view kIconAttributes[] = {"FileName", "Checked"};

// The whole document: declaration (encoding ks_c_5601-1987), DocRoot, Configuration with
// the SpecVersion text, the body, with no line breaks added and nothing escaped.
std::string XMLDocument(std::string_view specVersion, std::string_view body);

// "&" to "&amp;", then the double quote to "&quot;", "<" to "&lt;" and ">" to "&gt;"; the
// apostrophe stays. A failure goes to the error reporter under
// "mdTypeDefine.XMLValueReplace" and is raised again.
std::string XMLValueReplace(util::Log& log, std::string_view text);

// The StartProgramManager section. Path, Name and Command are escaped. Logs Start and End;
// a failure is logged as a failing step and the text built so far is returned.
std::string XMLStringSPMList(util::Log& log, bool isProtected,
                             const std::vector<UType_SPMData>& list);

// The DesktopIconManager section. Only "&" of the file name is escaped (a file name on
// Windows cannot hold the other three).
std::string XMLStringDIList(bool isProtected, const std::vector<UType_DIData>& list);

// The readers load the whole document text into a fresh document. They set *isProtected
// to false first. A text that does not parse leaves the lists as they were and writes the
// seven parse-error lines to the log. A missing section or attribute raises run-time error
// 91, a text that does not convert error 13 (or 6 when out of range); the entries read
// before it stay filled.
void ParseSPMList(util::Log& log, std::string_view xml, bool* isProtected,
                  std::vector<UType_SPMData>* list);

// ParseSPMList, then the icons inside StartProgramManager (Checked read as a Boolean, 1 or
// 0). With no icons there the icon list is left as it was.
void ParseSPMListLegacy(util::Log& log, std::string_view xml, bool* isProtected,
                        std::vector<UType_SPMData>* list, std::vector<UType_DIData>* icons);

void ParseDIList(util::Log& log, std::string_view xml, bool* isProtected,
                 std::vector<UType_DIData>* list);

}  // namespace dav::mdTypeDefine
