#include "catalogue/access.h"

#include <optional>
#include <string_view>

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

void WriteStored(SectionContext& ctx, std::string_view section, std::string_view key,
                 std::string_view text) {
  modMain::WriteIniString(ctx.log.platform(), FolderAccessFile(ctx), section, key,
                          StoredText(ctx, text));
}

std::string ReplaceDoubledBackslashes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return out;
}

// Replaces the stored paths with the pieces of a "|"-separated list. Empty pieces are left
// out, so the paths stay numbered without a gap: the paths are read back up to the first
// key that reads empty, and a gap would hide every path after it.
void WritePaths(SectionContext& ctx, std::string_view list) {
  ctx.log.platform().ini().WriteString(FolderAccessFile(ctx), "value", std::nullopt, std::nullopt);
  int index = 0;
  std::size_t from = 0;
  while (from <= list.size()) {
    std::size_t end = list.find('|', from);
    if (end == std::string_view::npos) end = list.size();
    const std::string path = ReplaceDoubledBackslashes(list.substr(from, end - from));
    if (!path.empty()) WriteStored(ctx, "value", std::to_string(index++), path);
    from = end + 1;
  }
}

std::string ReadPaths(SectionContext& ctx) {
  std::string list;
  for (int index = 0;; ++index) {
    const std::string stored = modMain::ReadIniString(ctx.log.platform(), FolderAccessFile(ctx),
                                                      "value", std::to_string(index), "");
    if (stored.empty()) break;
    if (index > 0) list += "|";
    list += modMain::Base64Decode(ctx.log.platform(), stored);
  }
  return list;
}

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
    for (const xml::Node& node : rows) {
      proc.Line(10);
      const Row row = catalogue::ReadRow(node);
      catalogue::NoteRow(ctx, "GetXMLFolderAccess", row.id);
      if (row.id == "folderaccess") {
        proc.Line(20);
        WriteStored(ctx, "setting", "0", row.value);
      } else if (row.id == "lowaccess") {
        proc.Line(30);
        WriteStored(ctx, "setting", "1", row.value);
      } else if (row.id == "path") {
        proc.Line(40);
        WritePaths(ctx, row.value);
      }
    }
  } catch (...) {
    proc.LogFailure();
  }
}

}  // namespace dav::modDavIrizevez
