// frmWinConfig: loading a window document into the controls and writing the controls back
// as a document.
#include <span>

#include "editors/form_document.h"
#include "editors/form_procedure.h"
#include "editors/frm_win_config.h"
#include "listdoc/md_type_define.h"
#include "util/conversions.h"
#include "util/mod_main.h"
#include "util/run_time_error.h"
#include "xml/document.h"

namespace dav::editors {
namespace {

constexpr char kForm[] = "frmWinConfig";
constexpr char kCrLf[] = "\r\n";
constexpr char kBase[] = "DocRoot/Configuration";
constexpr std::int32_t kErrInvalidPropertyValue = 380;

// A number as a check box state: 0 unchecked, 1 checked; anything else is refused.
bool BoxState(std::int32_t number) {
  if (number != 0 && number != 1) throw util::RunTimeError(kErrInvalidPropertyValue);
  return number == 1;
}

template <typename Rows>
int IndexOf(const Rows& rows, const std::string& lowerId) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (Lower(rows[i].id) == lowerId) return static_cast<int>(i);
  }
  return -1;
}

// The Value of the option selected in the triplet at base, or empty when none is.
std::string TripletValue(const std::vector<OptionButton>& options, int base) {
  for (int k = 0; k < 3; ++k) {
    if (options[static_cast<std::size_t>(base + k)].value) return std::to_string(k);
  }
  return {};
}

// The order in which the start menu rows of the classic menu are written.
constexpr const char* kWinOriginalOrder[] = {
    "ControlInsert",  "WastebasketInsert", "PrinterListInsert", "NetworkingInsert", "DocMenuDel",
    "ExecuteMenuDel", "HelpMenuDel",       "NoSearch",          "FavoritesMenuDel"};

}  // namespace

// --- loading ----------------------------------------------------------------------------

void frmWinConfig::SetXML(const std::string& text, const std::string& path) {
  util::Log& log = context().log;
  RunProcedure(log, kForm, "SetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    xml::Document doc;
    const bool loaded = LoadFormDocument(log, doc, text, path);
    proc.Line(20);
    if (!loaded) return;
    const std::string base = kBase;
    proc.Line(30);
    for (const char* sub :
         {"/StartMenu/WinXP/Row", "/StartMenu/WinOriginal/Row", "/StartMenu/Win7/Row"}) {
      for (const xml::Node& row : doc.selectNodes(base + sub)) {
        StartMenuSetXML(Attr(row, "ID"), Attr(row, "Value"));
      }
    }
    proc.Line(40);
    const xml::Node programs = doc.selectSingleNode(base + "/StartProgramManager");
    SetCheck("chkStartProgram", 0, util::ToBoolean(Attr(programs, "Protected")));
    proc.Line(50);
    Grids("fgridStartProgram")[0].ClearData();
    int position = 0;
    for (const xml::Node& key : doc.selectNodes(base + "/StartProgramManager/RunKeyList/RunKey")) {
      StartRunSetXML(Attr(key, "Name"), Attr(key, "Command"), Attr(key, "Checked"),
                     Attr(key, "Path"), Attr(key, "HKey"),
                     util::ToBoolean(Attr(key, "IsPrevStart")),
                     util::ToBoolean(Attr(key, "Deleted")), ++position);
    }
    proc.Line(60);
    for (const xml::Node& row : doc.selectNodes(base + "/WinSkill/Row")) {
      WinSkillSetXML(Attr(row, "ID"), Attr(row, "Value"));
    }
    proc.Line(70);
    if (const xml::Node list = doc.selectSingleNode(base + "/WinSkill/DisplayList")) {
      WinSkillDisplaySetXML(Attr(list, "DPFirst"), Attr(list, "ColorQuality"), Attr(list, "Hz"));
    }
    proc.Line(80);
    std::vector<TextBox>& texts = Texts("txtExplorer");
    if (const xml::Node explorer = doc.selectSingleNode(base + "/ExplorerConfig")) {
      texts[0].text = Attr(explorer, "TitleBar");
      texts[1].text = Attr(explorer, "DownFolder");
    }
    proc.Line(90);
    for (std::size_t i = 0; i < 2; ++i) {
      if (!Checks("chkExplorer")[i].value) texts[i].enabled = false;
    }
    proc.Line(100);
    for (const xml::Node& row : doc.selectNodes(base + "/ExplorerConfig/Row")) {
      ExplorerConfigSetXML(Attr(row, "ID"), Attr(row, "Value"));
    }
    proc.Line(110);
    for (const xml::Node& row : doc.selectNodes(base + "/FileOpt/Row")) {
      FileOptSetXML(Attr(row, "ID"), Attr(row, "Value"));
    }
    proc.Line(120);
    const xml::Node icons = doc.selectSingleNode(base + "/DesktopIconManager");
    SetCheck("chkDesktop", 0, util::ToBoolean(Attr(icons, "Protected")));
    proc.Line(130);
    Grids("fgridDesktop")[0].ClearData();
    int n = 0;
    for (const xml::Node& icon : doc.selectNodes(base + "/DesktopIconManager/IconList/Icon")) {
      DesktopSetXML(Attr(icon, "FileName"), Attr(icon, "Checked"), ++n);
    }
  });
}

void frmWinConfig::StartMenuSetXML(const std::string& id, const std::string& value) {
  RunProcedure(context().log, kForm, "StartMenuSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::string lower = Lower(id);
    if (const int i = IndexOf(kXpOptionRows, lower); i >= 0) {
      const std::int32_t remainder = (value.empty() ? 0 : util::ToLong(value)) % 3;
      // A negative Value names no option of the row (and must not reach another row's).
      if (remainder < 0) throw util::RunTimeError(kErrInvalidPropertyValue);
      SelectOption("optStartMenu", kXpOptionRows[static_cast<std::size_t>(i)].base + remainder);
    } else if (const int j = IndexOf(kWin7OptionRows, lower); j >= 0) {
      const std::int32_t remainder = util::ToLong(value) % 3;
      if (remainder < 0) throw util::RunTimeError(kErrInvalidPropertyValue);
      SelectOption("optStartMenuWin7",
                   kWin7OptionRows[static_cast<std::size_t>(j)].base + remainder);
    } else if (const int k = IndexOf(kXpCheckRows, lower); k >= 0) {
      proc.Line(20);
      // An empty Value reads as the row's default: "0" for a direct box, "1" (unchecked)
      // for an inverted one.
      const bool checked = kXpCheckRows[static_cast<std::size_t>(k)].inverted
                               ? !value.empty() && value != "1"
                               : BoxState(value.empty() ? 0 : util::ToLong(value));
      SetCheck("chkStartMenu", k, checked);
    } else if (const int m = IndexOf(kWin7CheckRows, lower); m >= 0) {
      proc.Line(30);
      SetCheck("chkStartMenuWin7", m, BoxState(util::ToLong(value)));
    }
    // "searchprograms" and unknown identifiers have no control.
  });
}

void frmWinConfig::StartRunSetXML(const std::string& name, const std::string& command,
                                  const std::string& checked, const std::string& path,
                                  const std::string& hkey, bool isPrevStart, bool deleted,
                                  int /*rowNumber: the element's position; rows are numbered
                                         by the rows shown*/) {
  RunProcedure(context().log, kForm, "StartRunSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    if (deleted) return;
    const bool start = util::ToBoolean(checked);
    proc.Line(20);
    Grid& grid = Grids("fgridStartProgram")[0];
    const int row = grid.AddRow();
    grid.Cell(row, "check") = CellFlag(start);
    grid.Cell(row, "no") = std::to_string(grid.DataRows());
    grid.Cell(row, "name") = name;
    grid.Cell(row, "cmd") = command;
    grid.Cell(row, "path") = path;
    grid.Cell(row, "hkey") = hkey;
    grid.Cell(row, "isprev") = CellFlag(isPrevStart);
  });
}

void frmWinConfig::WinSkillSetXML(const std::string& id, const std::string& value) {
  RunProcedure(context().log, kForm, "WinSkillSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    if (const int i = IndexOf(kWinSkillRows, Lower(id)); i >= 0) {
      SetCheck("chkWinSkill", i, BoxState(util::ToLong(value)));
    }
  });
}

void frmWinConfig::WinSkillDisplaySetXML(const std::string& resolution, const std::string& colour,
                                         const std::string& refresh) {
  RunProcedure(context().log, kForm, "WinSkillDisplaySetXML", [&](util::Procedure& proc) {
    const std::string* texts[] = {&resolution, &colour, &refresh};
    for (int list = 0; list < 3; ++list) {
      proc.Line(10 * (list + 1));
      ComboBox& box = Lists("cboWinSkill")[static_cast<std::size_t>(list)];
      for (std::size_t item = 0; item < box.items.size(); ++item) {
        if (box.items[item].text != *texts[list]) continue;
        // Chosen as by a click: the lists below it are filled for the choice.
        box.listIndex = -1;
        SelectListItem("cboWinSkill", list, static_cast<int>(item));
        break;
      }
    }
  });
}

void frmWinConfig::ExplorerConfigSetXML(const std::string& id, const std::string& value) {
  RunProcedure(context().log, kForm, "ExplorerConfigSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    if (const int i = IndexOf(kExplorerRows, Lower(id)); i >= 0) {
      SetCheck("chkExplorer", i, BoxState(util::ToLong(value)));
    }
  });
}

void frmWinConfig::FileOptSetXML(const std::string& id, const std::string& value) {
  RunProcedure(context().log, kForm, "FileOptSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const int i = IndexOf(kFileRows, Lower(id));
    SetCheck("chkFile", i < 0 ? 0 : i, BoxState(util::ToLong(value)));
  });
}

void frmWinConfig::DesktopSetXML(const std::string& fileName, const std::string& checked,
                                 int rowNumber) {
  RunProcedure(context().log, kForm, "DesktopSetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const bool shown = checked.empty() ? false : util::ToBoolean(checked);
    Grid& grid = Grids("fgridDesktop")[0];
    const int row = grid.AddRow();
    grid.Cell(row, "no") = std::to_string(rowNumber);
    grid.Cell(row, "check") = CellFlag(shown);
    grid.Cell(row, "icon") = fileName;
  });
}

// --- saving -----------------------------------------------------------------------------

std::string frmWinConfig::XMLStringWinConfig() {
  std::string document;
  RunProcedure(context().log, kForm, "XMLStringWinConfig", [&](util::Procedure& proc) {
    proc.Line(10);
    // One statement each: the builders log, and the operands of one expression may be
    // evaluated in any order.
    std::string body = StartMenuGetXML();
    body += StartProgramGetXML();
    body += WinSkillGetXML();
    body += ExplorerConfigGetXML();
    body += FileOptGetXML();
    body += DesktopGetXML();
    proc.Line(20);
    document = mdTypeDefine::XMLDocument("1.0.0", body);
  });
  return document;
}

std::string frmWinConfig::StartMenuGetXML() {
  std::string text;
  util::Log& log = context().log;
  RunProcedure(log, kForm, "StartMenuGetXML", [&](util::Procedure& proc) {
    const auto row = [&](std::string_view id, std::string_view value) {
      text += "<Row ID=\"" + std::string(id) + "\" Value=\"" +
              modMain::XMLValueReplace(log, value) + "\"/>" + kCrLf;
    };
    // One row per check box; a table and its boxes have the same length, and the bound check
    // keeps an index outside both from reading past either.
    const auto box = [&](const std::vector<CheckBox>& boxes, std::span<const CheckRow> rows,
                         int i) {
      const auto index = static_cast<std::size_t>(i);
      if (index >= rows.size() || index >= boxes.size()) return;
      const bool checked = boxes[index].value;
      row(rows[index].id, rows[index].inverted ? Flag(!checked) : Flag(checked));
    };
    proc.Line(10);
    text += std::string("<StartMenu>") + kCrLf + "<WinXP>" + kCrLf;
    for (const OptionRow& option : kXpOptionRows) {
      row(option.id, TripletValue(Options("optStartMenu"), option.base));
    }
    const std::vector<CheckBox>& xp = Checks("chkStartMenu");
    for (int i = 0; i < 9; ++i) box(xp, kXpCheckRows, i);
    proc.Line(20);
    text += std::string("</WinXP>") + kCrLf + "<WinOriginal>" + kCrLf;
    for (const char* id : kWinOriginalOrder)
      box(xp, kXpCheckRows, IndexOf(kXpCheckRows, Lower(id)));
    proc.Line(30);
    text += std::string("</WinOriginal>") + kCrLf + "<Win7>" + kCrLf;
    for (const OptionRow& option : kWin7OptionRows) {
      row(option.id, TripletValue(Options("optStartMenuWin7"), option.base));
    }
    const std::vector<CheckBox>& win7 = Checks("chkStartMenuWin7");
    for (int i = 0; i < static_cast<int>(kWin7CheckRows.size()); ++i) box(win7, kWin7CheckRows, i);
    text += std::string("</Win7>") + kCrLf + "</StartMenu>" + kCrLf;
  });
  return text;
}

std::string frmWinConfig::StartProgramGetXML() {
  std::string text;
  util::Log& log = context().log;
  RunProcedure(log, kForm, "StartProgramGetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const auto escape = [&](std::string_view value) {
      return modMain::XMLValueReplace(log, value);
    };
    text += std::string("<StartProgramManager Protected=\"") +
            CellFlag(Checks("chkStartProgram")[0].value) + "\">" + kCrLf;
    const Grid& grid = Grids("fgridStartProgram")[0];
    if (grid.DataRows() > 0) {
      proc.Line(20);
      text += std::string("<RunKeyList>") + kCrLf;
      for (int r = grid.fixedRows; r < grid.Rows(); ++r) {
        text += "<RunKey HKey=\"" + escape(grid.Cell(r, "hkey")) + "\" Name=\"" +
                escape(grid.Cell(r, "name")) + "\" Path=\"" + escape(grid.Cell(r, "path")) +
                "\" Command=\"" + escape(grid.Cell(r, "cmd")) + "\" IsPrevStart=\"" +
                escape(grid.Cell(r, "isprev")) + "\" Checked=\"" +
                Flag(util::ToBoolean(grid.Cell(r, "check"))) + "\" Deleted=\"0\"/>" + kCrLf;
      }
      text += std::string("</RunKeyList>") + kCrLf;
    }
    proc.Line(30);
    text += std::string("</StartProgramManager>") + kCrLf;
  });
  return text;
}

std::string frmWinConfig::WinSkillGetXML() {
  std::string text;
  util::Log& log = context().log;
  RunProcedure(log, kForm, "WinSkillGetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::vector<CheckBox>& boxes = Checks("chkWinSkill");
    const std::vector<ComboBox>& lists = Lists("cboWinSkill");
    text +=
        std::string("<WinSkill>") + kCrLf + RowText("RebootDisplay", Flag(boxes[0].value)) + kCrLf;
    proc.Line(20);
    text += "<DisplayList DPFirst=\"" + modMain::XMLValueReplace(log, lists[0].Text()) +
            "\" ColorQuality=\"" + modMain::XMLValueReplace(log, lists[1].Text()) + "\" Hz=\"" +
            modMain::XMLValueReplace(log, lists[2].Text()) + "\" />" + kCrLf;
    proc.Line(30);
    for (std::size_t i = 1; i < kWinSkillRows.size(); ++i) {
      text += RowText(kWinSkillRows[i].id, Flag(boxes[i].value)) + kCrLf;
    }
    text += std::string("</WinSkill>") + kCrLf;
  });
  return text;
}

std::string frmWinConfig::ExplorerConfigGetXML() {
  std::string text;
  util::Log& log = context().log;
  RunProcedure(log, kForm, "ExplorerConfigGetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::vector<TextBox>& texts = Texts("txtExplorer");
    text += "<ExplorerConfig TitleBar=\"" + modMain::XMLValueReplace(log, texts[0].text) +
            "\" DownFolder=\"" + modMain::XMLValueReplace(log, texts[1].text) + "\" >" + kCrLf;
    proc.Line(20);
    const std::vector<CheckBox>& boxes = Checks("chkExplorer");
    for (std::size_t i = 0; i < kExplorerRows.size(); ++i) {
      text += RowText(kExplorerRows[i].id, Flag(boxes[i].value)) + kCrLf;
    }
    text += std::string("</ExplorerConfig>") + kCrLf;
  });
  return text;
}

std::string frmWinConfig::FileOptGetXML() {
  std::string text;
  RunProcedure(context().log, kForm, "FileOptGetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    const std::vector<CheckBox>& boxes = Checks("chkFile");
    text += std::string("<FileOpt>") + kCrLf;
    for (std::size_t i = 0; i < kFileRows.size(); ++i) {
      text += RowText(kFileRows[i].id, Flag(boxes[i].value));
    }
    text += std::string("</FileOpt>") + kCrLf;
  });
  return text;
}

std::string frmWinConfig::DesktopGetXML() {
  std::string text;
  util::Log& log = context().log;
  RunProcedure(log, kForm, "DesktopGetXML", [&](util::Procedure& proc) {
    proc.Line(10);
    text += std::string("<DesktopIconManager Protected=\"") +
            CellFlag(Checks("chkDesktop")[0].value) + "\">" + kCrLf;
    const Grid& grid = Grids("fgridDesktop")[0];
    if (grid.DataRows() > 0) {
      proc.Line(20);
      text += std::string("<IconList>") + kCrLf;
      for (int r = grid.fixedRows; r < grid.Rows(); ++r) {
        text += "<Icon FileName=\"" + modMain::XMLValueReplace(log, grid.Cell(r, "icon")) +
                "\" Checked=\"" + Flag(util::ToBoolean(grid.Cell(r, "check"))) + "\" />" + kCrLf;
      }
      text += std::string("</IconList>") + kCrLf;
    }
    proc.Line(30);
    text += std::string("</DesktopIconManager>") + kCrLf;
  });
  return text;
}

}  // namespace dav::editors
