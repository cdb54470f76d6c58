// frmSysConfig: loading a system document into the controls and writing the controls back
// as a document.
#include "editors/form_document.h"
#include "editors/form_procedure.h"
#include "editors/frm_sys_config.h"
#include "listdoc/md_type_define.h"
#include "util/conversions.h"
#include "util/mod_main.h"
#include "xml/document.h"

namespace dav::editors {
namespace {

constexpr char kForm[] = "frmSysConfig";
constexpr char kCrLf[] = "\r\n";
constexpr char kBase[] = "DocRoot/Configuration";
constexpr int kDrives = 26;
constexpr std::size_t kShownPathLength = 30;

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The run-time's Split at "|": an empty text has no pieces.
std::vector<std::string> SplitPaths(const std::string& value) {
  std::vector<std::string> pieces;
  if (value.empty()) return pieces;
  std::size_t start = 0;
  for (std::size_t at; (at = value.find('|', start)) != std::string::npos; start = at + 1) {
    pieces.push_back(value.substr(start, at - start));
  }
  pieces.push_back(value.substr(start));
  return pieces;
}

}  // namespace

// --- loading ----------------------------------------------------------------------------

void frmSysConfig::SetXML(const std::string& text, const std::string& path) {
  util::Log& log = context().log;
  RunProcedure(log, kForm, "SetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    xml::Document doc;
    const bool loaded = LoadFormDocument(log, doc, text, path);
    proc.Line(20);
    if (!loaded) return;
    const std::string base = kBase;
    const char* generations[] = {"WinXP", "Win7"};
    for (int g = 0; g < 2; ++g) {
      proc.Line(30 + 20 * g);
      const std::string sub = base + "/ControlMngr/" + generations[g];
      for (const xml::Node& applet : doc.selectNodes(sub + "/CPLList")) {
        CPSetXML(g, Attr(applet, "ID"), Attr(applet, "DisplayName"), Attr(applet, "Value"),
                 g == 1 ? Attr(applet, "Disabllowcpl") : std::string());
      }
      proc.Line(40 + 20 * g);
      for (const xml::Node& row : doc.selectNodes(sub + "/Row")) {
        CPSetXML(g, Attr(row, "ID"), std::string(), Attr(row, "Value"), std::string());
      }
    }
    proc.Line(70);
    for (const xml::Node& row : doc.selectNodes(base + "/UsedAccess/Row")) {
      UsedAccessSetXML(Attr(row, "ID"), Attr(row, "Value"));
    }
    proc.Line(80);
    for (const xml::Node& row : doc.selectNodes(base + "/FolderAccess/Row")) {
      FolderAccessSetXML(Attr(row, "ID"), Attr(row, "Value"));
    }
  });
}

void frmSysConfig::CPSetXML(int generation, const std::string& id, const std::string& displayName,
                            const std::string& value, const std::string& disallow) {
  RunProcedure(context().log, kForm, "CPSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::size_t first = id.find_first_not_of(' ');
    const std::string trimmed = first == std::string::npos
                                    ? std::string()
                                    : id.substr(first, id.find_last_not_of(' ') - first + 1);
    if (trimmed == "NoControlPanel") {
      SetCheck("chkControlPanel", generation, value == "1");
      return;
    }
    proc.Line(20);
    Grid& grid = Grids("fgrid").at(static_cast<std::size_t>(generation));
    const int row = grid.AddRow();
    grid.Cell(row, "caption") = displayName;
    grid.Cell(row, "key") = id;
    if (generation == 1) grid.Cell(row, "discpl") = disallow;
    grid.Cell(row, "check") = CellFlag(value != "0");
  });
}

void frmSysConfig::UsedAccessSetXML(const std::string& id, const std::string& value) {
  RunProcedure(context().log, kForm, "UsedAccessSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::string lower = Lower(id);
    if (lower == "drivesettings") {
      Grid& grid = Grids("fgridDrive")[0];
      for (int n = 0; n < kDrives; ++n) {
        const bool on =
            static_cast<std::size_t>(n) < value.size() && value[static_cast<std::size_t>(n)] == '1';
        grid.Cell(grid.fixedRows + n, "check") = CellFlag(on);
      }
      return;
    }
    proc.Line(20);
    int box = 0;  // an identifier of no box lands on the first
    for (std::size_t i = 0; i < kUseAccessRows.size(); ++i) {
      if (Lower(kUseAccessRows[i].id) == lower) box = static_cast<int>(i);
    }
    SetCheck("chkUseAccess", box, util::ToLong(value) >= 1);
  });
  DriveRule();
}

void frmSysConfig::FolderAccessSetXML(const std::string& id, const std::string& value) {
  RunProcedure(context().log, kForm, "FolderAccessSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::string lower = Lower(id);
    if (lower == "path") {
      Grid& grid = Grids("fgridFolder")[0];
      const std::vector<std::string> pieces = SplitPaths(value);
      for (std::size_t k = 0; k < pieces.size(); ++k) {
        proc.Line(20);
        const std::string full = ReplaceAll(pieces[k], "\\\\", "\\");
        if (full == protectedFolder_) continue;
        const std::string shown = CharCount(pieces[k]) < kShownPathLength
                                      ? pieces[k]
                                      : LeftChars(pieces[k], kShownPathLength) + "..";
        const int row = grid.AddRow();
        // Rows keep their place in the list: a left-out protected folder leaves a gap.
        grid.Cell(row, "number") = std::to_string(k + 1);
        grid.Cell(row, "path") = ReplaceAll(shown, "\\\\", "\\");
        grid.Cell(row, "temp") = full;
      }
      return;
    }
    proc.Line(30);
    SetCheck("chkFolder", lower == "lowaccess" ? 1 : 0, value == "1");
  });
}

// --- saving -----------------------------------------------------------------------------

std::string frmSysConfig::XMLStringSysConfig() {
  std::string document;
  RunProcedure(context().log, "frmWindowsConfig", "XMLStringSysConfig", [&](util::Procedure& proc) {
    proc.Line(10);
    // One statement each: the builders log, and the operands of one expression may be
    // evaluated in any order.
    std::string body = CPGetXML();
    body += UsedAccessGetXML();
    body += FolderAccessGetXML();
    proc.Line(20);
    document = mdTypeDefine::XMLDocument("1.0.0", body);
  });
  return document;
}

std::string frmSysConfig::CPGetXML() {
  std::string text;
  util::Log& log = context().log;
  RunProcedure(log, kForm, "CPGetXML", [&](util::Procedure& proc) {
    const auto escape = [&](std::string_view value) {
      return modMain::XMLValueReplace(log, value);
    };
    const std::vector<Grid>& grids = Grids("fgrid");
    const std::vector<CheckBox>& boxes = Checks("chkControlPanel");
    text += std::string("<ControlMngr><WinXP>") + kCrLf;
    for (int g = 0; g < 2; ++g) {
      proc.Line(10 + 10 * g);
      if (g == 1) text += std::string("<Win7>") + kCrLf;
      const Grid& grid = grids[static_cast<std::size_t>(g)];
      for (int r = grid.fixedRows; r < grid.Rows(); ++r) {
        text += "<CPLList ID=\"" + escape(grid.Cell(r, "key")) + "\" DisplayName=\"" +
                escape(grid.Cell(r, "caption")) + "\" Value=\"" +
                Flag(util::ToBoolean(grid.Cell(r, "check"))) + "\"" +
                (g == 1 ? " Disabllowcpl=\"" + escape(grid.Cell(r, "discpl")) + "\"" : "") + " />" +
                kCrLf;
      }
      text += RowText("NoControlPanel", Flag(boxes[static_cast<std::size_t>(g)].value)) + kCrLf;
      text +=
          g == 0 ? std::string("</WinXP>") + kCrLf : std::string("</Win7></ControlMngr>") + kCrLf;
    }
  });
  return text;
}

std::string frmSysConfig::UsedAccessGetXML() {
  std::string text;
  RunProcedure(context().log, kForm, "UsedAccessGetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::vector<CheckBox>& boxes = Checks("chkUseAccess");
    const auto box = [&](int i) {
      text += RowText(kUseAccessRows[static_cast<std::size_t>(i)].id,
                      Flag(boxes[static_cast<std::size_t>(i)].value)) +
              kCrLf;
    };
    text += std::string("<UsedAccess>") + kCrLf;
    for (const int i : {0, 1, 2, 3, 4, 5, 7}) box(i);
    proc.Line(20);
    std::string drives(kDrives, '0');
    if (boxes[5].value || boxes[7].value) {
      const Grid& grid = Grids("fgridDrive")[0];
      for (int n = 0; n < kDrives; ++n) {
        if (util::ToBoolean(grid.Cell(grid.fixedRows + n, "check")))
          drives[static_cast<std::size_t>(n)] = '1';
      }
    }
    text += RowText("DriveSettings", drives) + kCrLf;
    box(6);
    text += std::string("</UsedAccess>") + kCrLf;
  });
  return text;
}

std::string frmSysConfig::FolderAccessGetXML() {
  std::string text;
  util::Log& log = context().log;
  RunProcedure(log, kForm, "FolderAccessGetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::vector<CheckBox>& boxes = Checks("chkFolder");
    text += std::string("<FolderAccess>") + kCrLf;
    text += RowText("FolderAccess", Flag(boxes[0].value)) + kCrLf;
    text += RowText("LowAccess", Flag(boxes[0].value && boxes[1].value)) + kCrLf;
    proc.Line(20);
    std::string paths;
    const Grid& grid = Grids("fgridFolder")[0];
    for (int r = grid.fixedRows; r < grid.Rows(); ++r) {
      if (r > grid.fixedRows) paths += "|";
      paths += ReplaceAll(grid.Cell(r, "temp"), "\\", "\\\\");
    }
    // Escaped, so that a path with "&" or "<" keeps the document readable.
    text += RowText("Path", modMain::XMLValueReplace(log, paths)) + kCrLf;
    text += std::string("</FolderAccess>") + kCrLf;
  });
  return text;
}

}  // namespace dav::editors
