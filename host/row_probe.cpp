#include "host/row_probe.h"

#include "catalogue/document_conventions.h"
#include "host/command_error.h"
#include "host/value_encoding.h"
#include "platform/open_platform.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/log.h"

namespace dav::host {

xml::NodeList SelectInConfiguration(const xml::Document& doc, const std::string& steps) {
  return doc.selectNodes("DocRoot/Configuration/" + steps);
}

namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '"')
      out += "&quot;";
    else if (c == '<')
      out += "&lt;";
    else
      out += c;
  }
  return out;
}

// The rows the applier is told about, with where each one's writes begin in the changes.
class RowMarks : public catalogue::RowObserver {
 public:
  explicit RowMarks(const MachineChanges& changes) : changes_(changes) {}
  void Applying(std::string_view, std::string_view id) override {
    marks.push_back({std::string(id), changes_.values.size()});
  }
  std::vector<ProbeResult::Mark> marks;

 private:
  const MachineChanges& changes_;
};

}  // namespace

std::string ProbeDocument(std::string_view section, const std::vector<std::string_view>& forms,
                          const std::vector<ProbeRow>& rows) {
  std::string body;
  for (std::string_view form : forms) {
    std::string text;
    for (const ProbeRow& row : rows) {
      if (row.form != form) continue;
      text += "<Row ID=\"" + Escaped(row.id) + "\" Value=\"" + Escaped(row.value) + "\" />";
    }
    body +=
        form.empty() ? text : "<" + std::string(form) + ">" + text + "</" + std::string(form) + ">";
  }
  return "<DocRoot><Configuration><" + std::string(section) + ">" + body + "</" +
         std::string(section) + "></Configuration></DocRoot>";
}

RowProbe::RowProbe() : scratch_(nullptr, "rows") {
  machine_ = platform::OpenPlatform(scratch_.path(), true);
  if (!machine_) throw CommandError("cannot open a scratch machine");
  settings_ = ResolveClientSettings(*machine_, {});
  codePage_ = machine_->system().AnsiCodePage();
}

RowProbe::~RowProbe() = default;

ProbeResult RowProbe::Apply(const ApplierCall& call, const std::string& text) {
  xml::Document doc;
  if (!doc.loadXML(text)) return {};
  RecordingPlatform recording(*machine_);
  util::Log log(recording, settings_.ComponentFolder());
  const util::Log::Mute mute(log);
  mdRegistry registry(log);
  mdSPM spm(log);
  catalogue::SectionRequests requests;
  catalogue::SectionContext ctx{
      log,       registry, spm,      !call.win7,
      call.win7, true,     requests, [] {
                                  return catalogue::DisplayMode{}; }};
  RowMarks marks(recording.changes());
  ctx.rowObserver = &marks;
  try {
    call.apply(ctx, doc);
  } catch (...) {
    // An applier that ends early has still written what it wrote.
  }
  ProbeResult result{recording.changes().values, std::move(marks.marks)};
  for (ValueChange& value : result.values) {
    if (value.after)
      value.after->data = DecodeValueData(codePage_, value.after->type, value.after->data);
  }
  return result;
}

}  // namespace dav::host
