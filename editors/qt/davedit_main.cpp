// davedit: the desktop editor that davhost runs when a display is available. It shows one
// editor over the machine's display modes and folders, and writes what the editor's OK
// left for davhost to read back.
//
//   davedit winconfig|sysconfig --machine DIR --component-folder PATH --in FILE --out FILE
//
// The result file: "choice N" and "width", "height", "bits", "refresh" lines for what OK
// set, the line "document", then the document returned (empty after Cancel).
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "display/cls_available_info.h"
#include "editors/editor_context.h"
#include "editors/frm_sys_config.h"
#include "editors/frm_win_config.h"
#include "editors/qt/korean_font.h"
#include "editors/qt/qt_form_ui.h"
#include "platform/open_platform.h"
#include "util/log.h"

namespace {

constexpr std::int32_t kNoChoice = -1;

int Fail(const std::string& message) {
  std::fprintf(stderr, "davedit: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2)
    return Fail(
        "usage: davedit winconfig|sysconfig --machine DIR --component-folder PATH --in FILE --out "
        "FILE");
  const std::string which = argv[1];
  std::map<std::string, std::string> options;
  for (int i = 2; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
  if (which != "winconfig" && which != "sysconfig") return Fail("unknown editor '" + which + "'");
  for (const char* name : {"--machine", "--in", "--out"}) {
    if (!options.count(name)) return Fail(std::string("missing ") + name);
  }
  std::ifstream in(options["--in"], std::ios::binary);
  if (!in) return Fail("cannot read '" + options["--in"] + "'");
  const std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  std::unique_ptr<dav::platform::Platform> platform;
  try {
    platform = dav::platform::OpenPlatform(options["--machine"], false);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  dav::editors::qt::UseKoreanFont();
  dav::util::Log log(*platform, options["--component-folder"]);
  dav::clsAvailableInfo catalogue(platform->display(), platform->clock());
  dav::editors::qt::QtFormUi ui(*platform);
  dav::catalogue::DisplayRequest request;
  std::int32_t choice = kNoChoice;
  dav::editors::EditorContext context{log, ui, &catalogue, request, choice};
  std::string output;
  if (which == "winconfig") {
    dav::editors::frmWinConfig form(context);
    output = form.ShowForm(input);
  } else {
    dav::editors::frmSysConfig form(context);
    output = form.ShowForm(input);
  }

  std::ostringstream result;
  if (choice != kNoChoice) result << "choice " << choice << "\n";
  if (!request.width.empty()) {
    result << "width " << request.width << "\nheight " << request.height << "\nbits "
           << request.colorBits << "\nrefresh " << request.refresh << "\n";
  }
  result << "document\n" << output;
  std::ofstream out(options["--out"], std::ios::binary);
  out << result.str();
  if (!out) return Fail("cannot write '" + options["--out"] + "'");
  return 0;
}
