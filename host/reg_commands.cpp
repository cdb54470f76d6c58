#include "host/reg_commands.h"

#include <iostream>
#include <memory>

#include "host/command_error.h"
#include "host/hive_names.h"
#include "host/host_files.h"
#include "host/json_option.h"
#include "host/reg_file_parser.h"
#include "host/reg_file_writer.h"
#include "host/reg_import.h"
#include "host/registry_tree.h"
#include "host/status_text.h"
#include "host/text_table.h"
#include "host/value_encoding.h"
#include "host/value_text.h"
#include "platform/code_page.h"

namespace dav::host {
namespace {

using platform::kErrorSuccess;
using platform::Status;

KeyPath ParseKeyArgument(const std::string& text) {
  KeyPath path;
  std::string error;
  if (!ParseKeyPath(text, &path, &error)) throw CommandError(error);
  return path;
}

std::string DisplayName(const std::string& valueName) {
  return valueName.empty() ? "(default)" : VisibleText(valueName);
}

// A name the code page cannot hold would reach the registry with "?" in place of each such
// character and so name another key or value ('Software\😀' and 'Software\🙂' both become
// 'Software\??'). Such names are refused before anything is opened or written.
void RequireHoldableNames(std::uint32_t codePage, const std::string& keyText, const KeyPath& path,
                          const std::string* valueName) {
  const std::string cannotHold =
      " has characters that code page " + std::to_string(codePage) + " cannot hold";
  std::string ignored;
  if (!platform::EncodeCodePage(codePage, path.subKey, &ignored)) {
    throw CommandError("key name '" + VisibleText(keyText) + "'" + cannotHold);
  }
  if (valueName != nullptr && !platform::EncodeCodePage(codePage, *valueName, &ignored)) {
    throw CommandError("value name '" + VisibleText(*valueName) + "'" + cannotHold);
  }
}

KeyPath ParseHoldableKey(platform::Platform& machine, const std::string& keyText,
                         const std::string* valueName = nullptr) {
  const KeyPath path = ParseKeyArgument(keyText);
  RequireHoldableNames(machine.system().AnsiCodePage(), keyText, path, valueName);
  return path;
}

void OpenExisting(platform::Registry& registry, const KeyPath& path, ScopedKey* key,
                  KeyPath* stored) {
  const Status status = OpenKeyPath(registry, path, key, stored);
  if (status == platform::kErrorFileNotFound) throw CommandError("no key " + path.Full());
  if (status != kErrorSuccess) {
    throw CommandError("cannot open " + path.Full() + ": " + StatusText(status));
  }
}

// --- export ---------------------------------------------------------------------------

struct ExportOptions {
  std::string key;
  std::string file;
  CLI::Option* keyOption = nullptr;
  CLI::Option* fileOption = nullptr;
};

void RunExport(HostContext& context, const ExportOptions& options) {
  // Left out, KEY means every hive and FILE the terminal; given empty (an unset variable in
  // a script), they are mistakes, not requests for everything or for stdout.
  if (options.keyOption->count() > 0 && options.key.empty()) {
    throw CommandError("KEY must not be empty (leave it out to export every hive)");
  }
  if (options.fileOption->count() > 0 && options.file.empty()) {
    throw CommandError("--output FILE must not be empty (leave it out to print the export)");
  }
  std::vector<KeyPath> roots;
  if (options.key.empty()) {
    for (platform::KeyHandle hive : {platform::kHKeyClassesRoot, platform::kHKeyCurrentUser,
                                     platform::kHKeyLocalMachine, platform::kHKeyUsers}) {
      roots.push_back(KeyPath{hive, ""});
    }
  } else {
    roots.push_back(ParseHoldableKey(context.platform(), options.key));
  }
  platform::Platform& machine = context.platform();
  const std::uint32_t codePage = machine.system().AnsiCodePage();
  std::vector<RegKeySection> sections;
  std::vector<std::string> skipped;
  for (const KeyPath& root : roots) {
    const Status status = ReadKeyTree(machine.registry(), codePage, root, &sections, &skipped);
    if (status == platform::kErrorFileNotFound) throw CommandError("no key " + root.Full());
    if (status != kErrorSuccess) {
      throw CommandError("cannot read " + root.Full() + ": " + StatusText(status));
    }
  }
  for (const std::string& s : skipped) std::cerr << "davhost: skipped " << s << "\n";

  if (options.file.empty()) {
    std::cout << WriteRegFile(sections, LineEnd::kLf);
    return;
  }
  std::string error;
  if (!WriteHostFile(options.file, ToRegFileBytes(WriteRegFile(sections, LineEnd::kCrLf)),
                     &error)) {
    throw CommandError(error);
  }
  std::cout << "Exported " << sections.size() << (sections.size() == 1 ? " key" : " keys") << " to "
            << options.file << "\n";
}

// --- import ---------------------------------------------------------------------------

void RunImport(HostContext& context, const std::string& file) {
  std::string bytes;
  std::string error;
  if (!ReadHostFile(file, &bytes, &error)) throw CommandError(error);
  platform::Platform& machine = context.platform();
  const std::uint32_t codePage = machine.system().AnsiCodePage();
  const AnsiDecoder decodeAnsi = [codePage](std::string_view ansi, std::string* utf8) {
    return platform::DecodeCodePage(codePage, ansi, utf8);
  };
  std::vector<RegKeySection> sections;
  RegParseError parseError;
  if (!ParseRegFile(bytes, &sections, &parseError, decodeAnsi)) {
    throw CommandError(file + " line " + std::to_string(parseError.line) + ": " +
                       parseError.message + " (nothing was imported)");
  }
  if (!ApplyRegFile(machine.registry(), machine.system().AnsiCodePage(), sections, &error)) {
    throw CommandError(file + " " + error);
  }
  std::cout << "Imported " << sections.size() << (sections.size() == 1 ? " key" : " keys")
            << " from " << file << "\n";
}

// --- get ------------------------------------------------------------------------------

struct GetOptions {
  std::string key;
  std::string name;
  bool json = false;
  CLI::Option* nameOption = nullptr;
};

void RunGet(HostContext& context, const GetOptions& options) {
  platform::Platform& machine = context.platform();
  platform::Registry& registry = machine.registry();
  const std::uint32_t codePage = machine.system().AnsiCodePage();
  const KeyPath path = ParseHoldableKey(machine, options.key,
                                        options.nameOption->count() > 0 ? &options.name : nullptr);
  ScopedKey key(registry);
  KeyPath stored;
  OpenExisting(registry, path, &key, &stored);

  if (options.nameOption->count() > 0) {
    platform::ValueType type = 0;
    std::string data;
    for (;;) {  // the size can change between the two calls when another process writes
      std::uint32_t size = 0;
      Status status = registry.QueryValue(key.get(), options.name, &type, nullptr, &size);
      if (status == kErrorSuccess) {
        data.assign(size, '\0');
        status = registry.QueryValue(key.get(), options.name, &type,
                                     reinterpret_cast<std::uint8_t*>(data.data()), &size);
        if (status == platform::kErrorMoreData) continue;
        data.resize(size);
      }
      if (status == platform::kErrorFileNotFound) {
        throw CommandError("no value '" + DisplayName(options.name) + "' in " + stored.Full());
      }
      if (status != kErrorSuccess) {
        throw CommandError("cannot read value '" + DisplayName(options.name) +
                           "': " + StatusText(status));
      }
      break;
    }
    const std::string text = FormatValueData(type, DecodeValueData(codePage, type, data));
    if (options.json) {
      PrintJson(Json::Object{{"key", stored.Full()},
                             {"name", options.name},
                             {"type", ValueTypeName(type)},
                             {"data", text}});
    } else {
      std::cout << text << "\n";
    }
    return;
  }

  Json values = Json::MakeArray();
  Json subkeys = Json::MakeArray();
  std::vector<TableRow> rows;
  for (std::uint32_t i = 0;; ++i) {
    std::string name;
    platform::ValueType type = 0;
    std::string data;
    const Status status = registry.EnumValue(key.get(), i, &name, &type, &data);
    if (status == platform::kErrorNoMoreItems) break;
    if (status != kErrorSuccess) throw CommandError("cannot list values: " + StatusText(status));
    const std::string text = FormatValueData(type, DecodeValueData(codePage, type, data));
    rows.push_back({DisplayName(name), ValueTypeName(type), text});
    values.Push(Json::Object{{"name", name}, {"type", ValueTypeName(type)}, {"data", text}});
  }
  std::string subkeyLines;
  for (std::uint32_t i = 0;; ++i) {
    std::string name;
    const Status status = registry.EnumKey(key.get(), i, &name);
    if (status != kErrorSuccess) break;
    subkeyLines += VisibleText(stored.Full() + "\\" + name) + "\n";
    subkeys.Push(stored.Full() + "\\" + name);
  }
  if (options.json) {
    PrintJson(Json::Object{{"key", stored.Full()}, {"values", values}, {"subkeys", subkeys}});
    return;
  }
  std::cout << VisibleText(stored.Full()) << "\n" << FormatTable(rows, 4);
  if (!subkeyLines.empty()) std::cout << "\n" << subkeyLines;
}

// --- set ------------------------------------------------------------------------------

struct SetOptions {
  std::string key;
  std::string name;
  std::string type;
  std::string data;
};

void RunSet(HostContext& context, const SetOptions& options) {
  platform::Platform& machine = context.platform();
  const KeyPath path = ParseHoldableKey(machine, options.key, &options.name);
  platform::ValueType type = 0;
  if (!ParseValueTypeName(options.type, &type)) {
    throw CommandError("unknown value type '" + options.type +
                       "' (use REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY or REG_MULTI_SZ)");
  }
  std::string data;
  std::string error;
  if (!ParseValueArgument(type, options.data, &data, &error)) throw CommandError(error);

  const std::uint32_t codePage = machine.system().AnsiCodePage();
  std::string stored;
  if (!EncodeValueData(codePage, type, data, &stored)) {
    throw CommandError("the data has characters that code page " + std::to_string(codePage) +
                       " cannot hold");
  }
  ScopedKey key(machine.registry());
  if (const Status status = machine.registry().CreateKey(path.hive, path.subKey, key.out());
      status != kErrorSuccess) {
    throw CommandError("cannot create " + path.Full() + ": " + StatusText(status));
  }
  if (const Status status = machine.registry().SetValue(key.get(), options.name, type, stored);
      status != kErrorSuccess) {
    throw CommandError("cannot set value '" + DisplayName(options.name) +
                       "': " + StatusText(status));
  }
}

// --- delete ---------------------------------------------------------------------------

struct DeleteOptions {
  std::string key;
  std::string name;
  CLI::Option* nameOption = nullptr;
  bool recursive = false;
};

void RunDelete(HostContext& context, const DeleteOptions& options) {
  const KeyPath path = ParseHoldableKey(context.platform(), options.key,
                                        options.nameOption->count() > 0 ? &options.name : nullptr);
  platform::Registry& registry = context.platform().registry();
  ScopedKey key(registry);
  KeyPath stored;
  OpenExisting(registry, path, &key, &stored);

  if (options.nameOption->count() > 0) {
    const Status status = registry.DeleteValue(key.get(), options.name);
    if (status == platform::kErrorFileNotFound) {
      throw CommandError("no value '" + DisplayName(options.name) + "' in " + stored.Full());
    }
    if (status != kErrorSuccess) {
      throw CommandError("cannot delete value '" + DisplayName(options.name) +
                         "': " + StatusText(status));
    }
    return;
  }
  if (path.subKey.empty()) throw CommandError("a whole hive cannot be deleted");
  platform::KeyInfo info;
  if (const Status status = registry.QueryInfoKey(key.get(), &info); status != kErrorSuccess) {
    throw CommandError("cannot read " + stored.Full() + ": " + StatusText(status));
  }
  if (info.subKeys > 0 && !options.recursive) {
    throw CommandError(stored.Full() + " has subkeys (add --recursive to delete them too)");
  }
  key.Close();  // an open handle to a key being deleted is not wanted
  const Status status = options.recursive ? DeleteKeyTree(registry, path.hive, path.subKey)
                                          : registry.DeleteKey(path.hive, path.subKey);
  if (status != kErrorSuccess) {
    throw CommandError("cannot delete " + stored.Full() + ": " + StatusText(status));
  }
}

}  // namespace

void AddRegCommands(CLI::App& app, HostContext& context) {
  CLI::App* reg = app.add_subcommand("reg", "Read, change, export and import the registry");
  reg->require_subcommand(1);

  auto exportOptions = std::make_shared<ExportOptions>();
  CLI::App* exportCmd = reg->add_subcommand(
      "export", "Print a key and everything below it as a registry file (all hives without KEY)");
  exportOptions->keyOption =
      exportCmd->add_option("KEY", exportOptions->key, "Key path, e.g. HKCU\\Software\\T");
  exportOptions->fileOption =
      exportCmd->add_option("-o,--output", exportOptions->file,
                            "Write a .reg file (UTF-16LE, CR LF) instead of printing");
  exportCmd->callback([&context, exportOptions] { RunExport(context, *exportOptions); });

  auto importFile = std::make_shared<std::string>();
  CLI::App* importCmd = reg->add_subcommand(
      "import", "Apply a registry file ([-KEY] deletes a key, \"name\"=- a value)");
  importCmd
      ->add_option("FILE", *importFile,
                   "The .reg file (UTF-16LE or UTF-8; a REGEDIT4 file in the machine's code page)")
      ->required();
  importCmd->callback([&context, importFile] { RunImport(context, *importFile); });

  auto getOptions = std::make_shared<GetOptions>();
  CLI::App* getCmd = reg->add_subcommand("get", "Show one value, or a key's values and subkeys");
  getCmd->add_option("KEY", getOptions->key, "Key path, e.g. HKLM\\Software")->required();
  getOptions->nameOption =
      getCmd->add_option("NAME", getOptions->name, "Value name (\"\" for the default value)");
  AddJsonFlag(getCmd, &getOptions->json);
  getCmd->callback([&context, getOptions] { RunGet(context, *getOptions); });

  auto setOptions = std::make_shared<SetOptions>();
  CLI::App* setCmd = reg->add_subcommand("set", "Set a value, creating the key when missing");
  setCmd->add_option("KEY", setOptions->key, "Key path")->required();
  setCmd->add_option("NAME", setOptions->name, "Value name (\"\" for the default value)")
      ->required();
  setCmd
      ->add_option("TYPE", setOptions->type,
                   "REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY or REG_MULTI_SZ")
      ->required();
  setCmd
      ->add_option("DATA", setOptions->data,
                   "Text; a DWORD in decimal or 0x hex; hex bytes '0a ff'; "
                   "REG_MULTI_SZ parts separated by \\0")
      ->required();
  setCmd->callback([&context, setOptions] { RunSet(context, *setOptions); });

  auto deleteOptions = std::make_shared<DeleteOptions>();
  CLI::App* deleteCmd = reg->add_subcommand("delete", "Delete a value, or a key");
  deleteCmd->add_option("KEY", deleteOptions->key, "Key path")->required();
  deleteOptions->nameOption = deleteCmd->add_option(
      "NAME", deleteOptions->name, "Value name (\"\" for the default value); without it the key");
  deleteCmd->add_flag("-r,--recursive", deleteOptions->recursive, "Also delete the key's subkeys");
  deleteCmd->callback([&context, deleteOptions] { RunDelete(context, *deleteOptions); });
}

}  // namespace dav::host
