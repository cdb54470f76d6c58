#include "host/fs_commands.h"

#include <iostream>
#include <memory>

#include "host/attribute_text.h"
#include "host/command_error.h"
#include "host/host_files.h"
#include "host/status_text.h"
#include "host/text_table.h"

namespace dav::host {
namespace {

using platform::kAttrDirectory;
using platform::kErrorSuccess;
using platform::kInvalidAttributes;
using platform::Status;

// Every entry: hidden, system and directory entries included, as "dir /a" shows them.
constexpr std::uint32_t kListEverything = 0x37;

bool IsDirectory(platform::FileSystem& files, const std::string& path) {
  const std::uint32_t attributes = files.GetAttributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

std::string Join(const std::string& folder, const std::string& name) {
  const std::string base = WithoutTrailingSeparator(folder);
  const bool separated = !base.empty() && (base.back() == '\\' || base.back() == '/');
  return base + (separated ? "" : "\\") + name;
}

void Check(Status status, const std::string& what) {
  if (status != kErrorSuccess) throw CommandError(what + ": " + StatusText(status));
}

// --- ls -------------------------------------------------------------------------------

struct LsOptions {
  std::string path;
  std::string mask;
};

void RunLs(HostContext& context, const LsOptions& options) {
  std::uint32_t mask = kListEverything;
  if (!options.mask.empty() && !ParseAttributeMask(options.mask, &mask)) {
    throw CommandError("--attributes needs a number such as 55 or 0x37, not '" + options.mask +
                       "'");
  }
  platform::FileSystem& files = context.platform().files();
  std::string pattern = options.path;
  if (pattern.find_first_of("*?") == std::string::npos) {
    if (files.GetAttributes(pattern) == kInvalidAttributes) {
      throw CommandError("'" + options.path + "' does not exist");
    }
    if (IsDirectory(files, pattern)) pattern = Join(pattern, "*");
  }
  std::vector<platform::FileEntry> entries;
  const Status status = files.FindFiles(pattern, mask, &entries);
  if (status != kErrorSuccess && status != platform::kErrorFileNotFound) {
    Check(status, "cannot list '" + options.path + "'");
  }
  std::vector<TableRow> rows;
  for (const platform::FileEntry& entry : entries) {
    const bool folder = entry.attributes & kAttrDirectory;
    rows.push_back({AttributeLetters(entry.attributes),
                    folder ? "<DIR>" : std::to_string(entry.size), entry.name});
  }
  std::cout << FormatTable(rows, 0, {1});
}

// --- put / get ------------------------------------------------------------------------

struct CopyOptions {
  std::string from;
  std::string to;
};

void RunPut(HostContext& context, const CopyOptions& options) {
  std::string bytes;
  std::string error;
  if (!ReadHostFile(options.from, &bytes, &error)) throw CommandError(error);
  platform::FileSystem& files = context.platform().files();
  std::string target = options.to;
  if (IsDirectory(files, target))
    target = Join(target, HostPathText(HostPath(options.from).filename()));
  Check(files.WriteAll(target, bytes), "cannot write '" + target + "'");
}

void RunGet(HostContext& context, const CopyOptions& options) {
  platform::FileSystem& files = context.platform().files();
  std::string bytes;
  Check(files.ReadAll(options.from, &bytes), "cannot read '" + options.from + "'");
  std::string target = options.to;
  std::error_code ec;
  if (std::filesystem::is_directory(HostPath(target), ec)) {
    const std::size_t slash = options.from.find_last_of("\\/");
    const std::string name =
        slash == std::string::npos ? options.from : options.from.substr(slash + 1);
    target = HostPathText(HostPath(target) / HostPath(name));
  }
  std::string error;
  if (!WriteHostFile(target, bytes, &error)) throw CommandError(error);
}

// --- mkdir / attrib -------------------------------------------------------------------

struct MkdirOptions {
  std::string path;
  bool parents = false;
};

void RunMkdir(HostContext& context, const MkdirOptions& options) {
  platform::FileSystem& files = context.platform().files();
  if (!options.parents) {
    Check(files.MakeFolder(options.path), "cannot create '" + options.path + "'");
    return;
  }
  // Each level from the drive down; levels that are already folders are fine, also when
  // another process made one between the look and the making.
  const std::string path = WithoutTrailingSeparator(options.path);
  for (std::size_t end = path.find_first_of("\\/", 3);; end = path.find_first_of("\\/", end + 1)) {
    const std::string level = path.substr(0, end);
    if (!IsDirectory(files, level)) {
      const platform::Status status = files.MakeFolder(level);
      if (!(status == platform::kErrorAlreadyExists && IsDirectory(files, level))) {
        Check(status, "cannot create '" + level + "'");
      }
    }
    if (end == std::string::npos) break;
  }
}

struct AttribOptions {
  std::string path;
  std::vector<std::string> changes;  // "+R" ... as written
  std::vector<std::string> cleared;  // "-R", "-x" ... as written: the parser takes them as flags
};

void RunAttrib(HostContext& context, const AttribOptions& options) {
  platform::FileSystem& files = context.platform().files();
  std::uint32_t attributes = files.GetAttributes(options.path);
  if (attributes == kInvalidAttributes) throw CommandError("'" + options.path + "' does not exist");
  std::vector<std::string> changes = options.changes;
  changes.insert(changes.end(), options.cleared.begin(), options.cleared.end());
  if (!changes.empty()) {
    std::string error;
    if (!ApplyAttributeChanges(changes, &attributes, &error)) throw CommandError(error);
    std::uint32_t settable = attributes & ~kAttrDirectory;
    if (settable == 0) settable = platform::kAttrNormal;
    Check(files.SetAttributes(options.path, settable), "cannot change '" + options.path + "'");
    attributes = files.GetAttributes(options.path);
  }
  std::cout << AttributeLetters(attributes) << "  " << options.path << "\n";
}

// --- rm -------------------------------------------------------------------------------

void RunRm(HostContext& context, const std::string& path) {
  platform::FileSystem& files = context.platform().files();
  if (IsDirectory(files, path)) throw CommandError("'" + path + "' is a folder, not a file");
  Check(files.Delete(path), "cannot delete '" + path + "'");
}

}  // namespace

void AddFsCommands(CLI::App& app, HostContext& context) {
  CLI::App* fs = app.add_subcommand("fs", "List and copy the machine's files");
  fs->require_subcommand(1);

  auto lsOptions = std::make_shared<LsOptions>();
  CLI::App* ls = fs->add_subcommand("ls", "List a folder, a file or a pattern such as C:\\*.ini");
  ls->add_option("PATH", lsOptions->path, "Windows path")->required();
  ls->add_option("--attributes", lsOptions->mask,
                 "Attribute mask: hidden (2), system (4) and folder (16) entries are listed only "
                 "when the mask has their bit (default 55: everything)");
  ls->callback([&context, lsOptions] { RunLs(context, *lsOptions); });

  auto putOptions = std::make_shared<CopyOptions>();
  CLI::App* put = fs->add_subcommand("put", "Copy a file of this computer onto the machine");
  put->add_option("HOSTFILE", putOptions->from, "File on this computer")->required();
  put->add_option("WINPATH", putOptions->to, "Windows path of the file or of a folder")->required();
  put->callback([&context, putOptions] { RunPut(context, *putOptions); });

  auto getOptions = std::make_shared<CopyOptions>();
  CLI::App* get = fs->add_subcommand("get", "Copy a file of the machine onto this computer");
  get->add_option("WINPATH", getOptions->from, "Windows path of the file")->required();
  get->add_option("HOSTFILE", getOptions->to, "File or folder on this computer")->required();
  get->callback([&context, getOptions] { RunGet(context, *getOptions); });

  auto mkdirOptions = std::make_shared<MkdirOptions>();
  CLI::App* mkdir = fs->add_subcommand("mkdir", "Create a folder");
  mkdir->add_option("WINPATH", mkdirOptions->path, "Windows path of the folder")->required();
  mkdir->add_flag("-p,--parents", mkdirOptions->parents, "Also create missing parent folders");
  mkdir->callback([&context, mkdirOptions] { RunMkdir(context, *mkdirOptions); });

  auto rmPath = std::make_shared<std::string>();
  CLI::App* rm =
      fs->add_subcommand("rm", "Delete a file, as a user does (a read-only one refuses)");
  rm->add_option("WINPATH", *rmPath, "Windows path of the file")->required();
  rm->callback([&context, rmPath] { RunRm(context, *rmPath); });

  auto attribOptions = std::make_shared<AttribOptions>();
  CLI::App* attrib = fs->add_subcommand(
      "attrib",
      "Show or change attributes: +R -R +H -H +S -S +A -A (read-only, hidden, system, "
      "archive; either case)");
  attrib->set_help_flag("--help", "Print this help message and exit");  // -h clears hidden
  attrib->add_option("PATH", attribOptions->path, "Windows path")->required();
  attrib->add_option("CHANGES", attribOptions->changes, "Attributes to set: +R +H +S +A");
  // "-R" and the others look like options to the parser, so every "-letter" is a flag of its
  // own; the letters that are no attribute are hidden and refused with the changes' message.
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string upper = std::string("-") + letter;
    const std::string lower = std::string("-") + char(letter - 'A' + 'a');
    const char* help = letter == 'R'   ? "Clear read-only"
                       : letter == 'H' ? "Clear hidden"
                       : letter == 'S' ? "Clear system"
                       : letter == 'A' ? "Clear archive"
                                       : nullptr;
    for (const std::string& name : {upper, lower}) {
      CLI::Option* flag = attrib->add_flag_callback(
          name, [attribOptions, name] { attribOptions->cleared.push_back(name); },
          help ? help : "");
      if (!help || name == lower) flag->group("");  // the help lists each letter once
    }
  }
  attrib->callback([&context, attribOptions] { RunAttrib(context, *attribOptions); });
}

}  // namespace dav::host
