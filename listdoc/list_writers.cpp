#include "listdoc/md_type_define.h"

#include "util/conversions.h"
#include "util/procedure.h"
#include "util/xml_escape.h"

namespace dav::mdTypeDefine {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string Attribute(std::string_view name, std::string_view value) {
  return " " + std::string(name) + "=\"" + std::string(value) + "\"";
}

std::string AmpersandOnly(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else
      out += c;
  }
  return out;
}

}  // namespace

std::string XMLDocument(std::string_view specVersion, std::string_view body) {
  std::string text = "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>";
  text += "<DocRoot>";
  text += "<Configuration SpecVersion=\"" + std::string(specVersion) + "\">";
  text += body;
  text += "</Configuration>";
  text += "</DocRoot>";
  return text;
}

std::string XMLValueReplace(util::Log& log, std::string_view text) {
  return util::EscapeReportingTo(log, "mdTypeDefine.XMLValueReplace", text);
}

std::string XMLStringSPMList(util::Log& log, bool isProtected,
                             const std::vector<UType_SPMData>& list) {
  util::Procedure proc(log, "mdTypeDefine", "XMLStringSPMList");
  std::string text;
  try {
    proc.Line(2);
    text = "<StartProgramManager Protected=\"" + util::BooleanText(isProtected) + "\">";
    text += kCrLf;
    proc.Line(3);
    if (!list.empty()) {
      text += "<RunKeyList>";
      text += kCrLf;
      for (const UType_SPMData& entry : list) {
        text += "<RunKey";
        text += Attribute("HKey", std::to_string(entry.spmRegHKey));
        text += Attribute("Path", XMLValueReplace(log, entry.spmRegPath));
        text += Attribute("Name", XMLValueReplace(log, entry.spmFileName));
        text += Attribute("Command", XMLValueReplace(log, entry.spmPathSwitch));
        text += Attribute("IsPrevStart", util::BooleanText(entry.spmIsPrevStart));
        text += Attribute("Checked", util::BooleanText(entry.spmIsStart));
        text += Attribute("Deleted", util::BooleanText(entry.spmDelete));
        text += " />";
        text += kCrLf;
      }
      text += "</RunKeyList>";
      text += kCrLf;
    }
    proc.Line(4);
    text += "</StartProgramManager>";
    text += kCrLf;
  } catch (...) {
    proc.LogFailure();
  }
  return text;
}

std::string XMLStringDIList(bool isProtected, const std::vector<UType_DIData>& list) {
  std::string text = "<DesktopIconManager Protected=\"" + util::BooleanText(isProtected) + "\">";
  text += kCrLf;
  if (!list.empty()) {
    text += "<IconList>";
    text += kCrLf;
    for (const UType_DIData& icon : list) {
      text += "<Icon";
      text += Attribute("FileName", AmpersandOnly(icon.diFileName));
      text += Attribute("Checked", std::to_string(icon.diFlag));
      text += " />";
      text += kCrLf;
    }
    text += "</IconList>";
    text += kCrLf;
  }
  text += "</DesktopIconManager>";
  text += kCrLf;
  return text;
}

}  // namespace dav::mdTypeDefine
