#include "catalogue/access.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/document_conventions.h"
#include "catalogue/registry_places.h"
#include "codec/base64_wrappers.h"
#include "util/mod_main.h"
#include "util/procedure.h"

namespace dav::modDavIrizevez {
namespace {

using catalogue::kSectionModule;
using catalogue::Row;
using catalogue::SectionContext;

std::string FolderAccessFile(SectionContext& ctx) {
  return ctx.log.componentFolder() + "\\" + kFolderAccessFileName;
}

// The Base64 form of a text as one line. The codec breaks its output every 76 characters
// (a path of more than 57 bytes), and a line break cannot be stored in an ini value: the
// value would end at it. The decoder skips the line breaks, so the stored text is the same.
std::string StoredText(SectionContext& ctx, std::string_view text) {
  std::string encoded = modMain::Base64Encode(ctx.log.platform(), text);
  std::erase_if(encoded, [](char c) { return c == '\r' || c == '\n'; });
  return encoded;
}

std::string ReadStored(SectionContext& ctx, std::string_view section, std::string_view key) {
  const std::string stored =
      modMain::ReadIniString(ctx.log.platform(), FolderAccessFile(ctx), section, key, "");
  return stored.empty() ? std::string() : modMain::Base64Decode(ctx.log.platform(), stored);
}

std::string ReplaceDoubledBackslashes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return out;
}

// The stored paths from the pieces of a "|"-separated list, keyed "0", "1", ... Empty
// pieces are left out, so the paths stay numbered without a gap: the paths are read back up
// to the first key that reads empty, and a gap would hide every path after it.
std::vector<platform::IniKey> PathKeys(SectionContext& ctx, std::string_view list) {
  std::vector<platform::IniKey> keys;
  std::size_t from = 0;
  while (from <= list.size()) {
    std::size_t end = list.find('|', from);
    if (end == std::string_view::npos) end = list.size();
    const std::string path = ReplaceDoubledBackslashes(list.substr(from, end - from));
    if (!path.empty()) keys.push_back({std::to_string(keys.size()), StoredText(ctx, path)});
    from = end + 1;
  }
  return keys;
}

// The paths in key order up to the first key that is missing or empty, from one read of the
// section (a key read one at a time would read the whole file once per path).
std::string ReadPaths(SectionContext& ctx) {
  std::unordered_map<std::string, std::string> stored;
  for (platform::IniKey& key :
       ctx.log.platform().ini().ReadSection(FolderAccessFile(ctx), "value")) {
    stored.try_emplace(std::move(key.name), std::move(key.value));  // the first one counts
  }
  std::string list;
  for (std::size_t index = 0;; ++index) {
    const auto found = stored.find(std::to_string(index));
    if (found == stored.end() || found->second.empty()) break;
    if (index > 0) list += "|";
    list += modMain::Base64Decode(ctx.log.platform(), found->second);
  }
  return list;
}

// The change that the rows make to the file, kept until all rows are read and then written
// in one step, so that the folder protection never reads a file with the settings or the
// paths half changed.
class FolderAccessChange {
 public:
  explicit FolderAccessChange(SectionContext& ctx) : ctx_(ctx) {}

  // A key of "setting" takes the stored form of the text; the other keys stay.
  void SetSetting(std::string_view key, std::string_view text) {
    platform::IniSectionKeys& setting = Section("setting");
    std::string stored = StoredText(ctx_, text);
    for (platform::IniKey& existing : setting.keys) {
      if (existing.name == key) {
        existing.value = std::move(stored);
        return;
      }
    }
    setting.keys.push_back({std::string(key), std::move(stored)});
  }

  void SetPaths(std::string_view list) { Section("value").keys = PathKeys(ctx_, list); }

  void Write() {
    if (!sections_.empty())
      ctx_.log.platform().ini().WriteSections(FolderAccessFile(ctx_), sections_);
  }

 private:
  // The section as the rows so far leave it; read from the file the first time. The
  // sections keep the order in which the rows first name them, as a new file gets them.
  platform::IniSectionKeys& Section(std::string_view name) {
    for (platform::IniSectionKeys& section : sections_) {
      if (section.name == name) return section;
    }
    sections_.push_back(
        {std::string(name), ctx_.log.platform().ini().ReadSection(FolderAccessFile(ctx_), name)});
    return sections_.back();
  }

  SectionContext& ctx_;
  std::vector<platform::IniSectionKeys> sections_;
};

}  // namespace

std::string XMLStringFolderAccess(SectionContext& ctx) {
  util::Procedure proc(ctx.log, kSectionModule, "XMLStringFolderAccess");
  std::string text;
  try {
    proc.Line(10);
    text = "<FolderAccess>" + std::string(catalogue::kCrLf);
    // Escaped although older documents wrote them as they are: a path holding "&", "<" or a
    // double quote would otherwise make the whole document unreadable.
    proc.Line(20);
    const std::string folderAccess = ReadStored(ctx, "setting", "0");
    text += catalogue::RowText(
        "FolderAccess",
        modMain::XMLValueReplace(ctx.log, folderAccess.empty() ? "0" : folderAccess));
    proc.Line(30);
    const std::string lowAccess = ReadStored(ctx, "setting", "1");
    text += catalogue::RowText(
        "LowAccess", modMain::XMLValueReplace(ctx.log, lowAccess.empty() ? "0" : lowAccess));
    proc.Line(40);
    text += catalogue::RowText("Path", modMain::XMLValueReplace(ctx.log, ReadPaths(ctx)));
    text += "</FolderAccess>" + std::string(catalogue::kCrLf);
  } catch (...) {
    proc.LogFailure();
  }
  return text;
}

void GetXMLFolderAccess(SectionContext& ctx, const xml::NodeList& rows) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLFolderAccess");
  try {
    FolderAccessChange change(ctx);
    for (const xml::Node& node : rows) {
      proc.Line(10);
      const Row row = catalogue::ReadRow(node);
      catalogue::NoteRow(ctx, "GetXMLFolderAccess", row.id);
      if (row.id == "folderaccess") {
        proc.Line(20);
        change.SetSetting("0", row.value);
      } else if (row.id == "lowaccess") {
        proc.Line(30);
        change.SetSetting("1", row.value);
      } else if (row.id == "path") {
        proc.Line(40);
        change.SetPaths(row.value);
      }
    }
    proc.Line(50);
    change.Write();
  } catch (...) {
    proc.LogFailure();
  }
}

}  // namespace dav::modDavIrizevez
