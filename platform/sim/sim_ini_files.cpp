#include "platform/sim/sim_ini_files.h"

#include <optional>
#include <utility>

#include "platform/code_page.h"
#include "platform/sim/ini_document.h"

namespace dav::platform::sim {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The code page a file's bytes are in: UTF-8 after a byte order mark, else the ANSI one.
std::uint32_t FileCodePage(std::string_view* bytes, std::uint32_t ansiCodePage) {
  if (bytes->substr(0, kUtf8Mark.size()) != kUtf8Mark) return ansiCodePage;
  bytes->remove_prefix(kUtf8Mark.size());
  return kCodePageUtf8;
}

IniDocument::Decoder DecoderFor(std::uint32_t codePage) {
  return [codePage](std::string_view bytes) {
    std::string text;
    DecodeCodePage(codePage, bytes, &text);
    return text;
  };
}

std::size_t Utf8CharLength(std::string_view text) {
  auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return length <= text.size() ? length : 1;
}

// The longest start of text whose ANSI form fits in limit bytes, never cut inside a
// character (a Korean syllable takes two bytes in code page 949).
std::string CutToAnsiBytes(std::string_view text, std::size_t limit, std::uint32_t codePage) {
  std::string encoded;
  EncodeCodePage(codePage, text, &encoded);
  if (encoded.size() <= limit) return std::string(text);
  std::size_t used = 0;
  std::size_t kept = 0;
  while (kept < text.size()) {
    std::size_t length = Utf8CharLength(text.substr(kept));
    EncodeCodePage(codePage, text.substr(kept, length), &encoded);
    if (used + encoded.size() > limit) break;
    used += encoded.size();
    kept += length;
  }
  return std::string(text.substr(0, kept));
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Texts that would break the file's lines: Windows would write them as they come, and a
// line break starts a new line (a key, or even a section, that nobody wrote), "=" in a key
// or "]" in a section name cannot be read back.
bool BreaksSectionName(std::string_view section) {
  return HasLineBreak(section) || section.find(']') != std::string_view::npos;
}

bool BreaksKeyName(std::string_view key) {
  return HasLineBreak(key) || key.find('=') != std::string_view::npos ||
         (!key.empty() && key.front() == '[');
}

// A file that a write changes: read once, taken apart into lines, and stored whole again.
class EditedFile {
 public:
  // False when the file cannot be read (a missing file is an empty one).
  bool Load(FileSystem& files, const std::string& path, std::uint32_t ansiCodePage) {
    std::string bytes;
    const Status status = files.ReadAll(path, &bytes);
    if (status != kErrorSuccess && status != kErrorFileNotFound) return false;
    std::string_view content = bytes;
    codePage_ = FileCodePage(&content, ansiCodePage);
    marked_ = content.size() != bytes.size();
    document_.emplace(content, DecoderFor(codePage_));
    return true;
  }

  IniDocument& document() { return *document_; }

  // The text in the file's code page. A text that the code page cannot hold would be
  // stored with "?" in its place; the change is then refused rather than written wrong.
  std::string Encode(std::string_view text) {
    std::string encoded;
    encodable_ = EncodeCodePage(codePage_, text, &encoded) && encodable_;
    return encoded;
  }

  // Writes the changed file, unless a text could not be encoded.
  bool Store(FileSystem& files, const std::string& path) const {
    if (!encodable_) return false;
    std::string written = marked_ ? std::string(kUtf8Mark) : std::string();
    written += document_->Bytes();
    return files.WriteAll(path, written) == kErrorSuccess;
  }

 private:
  std::optional<IniDocument> document_;
  std::uint32_t codePage_ = 0;
  bool marked_ = false;
  bool encodable_ = true;
};

}  // namespace

SimIniFiles::SimIniFiles(FileSystem& files, std::function<std::uint32_t()> codePage,
                         std::function<std::string()> windowsFolder)
    : files_(files), codePage_(std::move(codePage)), windowsFolder_(std::move(windowsFolder)) {}

std::string SimIniFiles::FilePath(std::string_view file) const {
  // "C:rel.ini" and "sub\rel.ini" are relative to a current folder, which the simulated PC
  // does not have; they stay as they are and so name no file.
  if (file.empty() || file.find_first_of("\\/:") != std::string_view::npos) {
    return std::string(file);
  }
  const std::string folder = windowsFolder_();
  return folder.empty() ? std::string(file) : folder + "\\" + std::string(file);
}

std::string SimIniFiles::ReadString(std::string_view file, std::string_view section,
                                    std::string_view key, std::string_view defaultValue,
                                    std::size_t bufferSize) {
  const std::uint32_t ansiCodePage = codePage_();
  std::string result;
  std::string bytes;
  bool found = false;
  if (files_.ReadAll(FilePath(file), &bytes) == kErrorSuccess) {
    std::string_view content = bytes;
    // Its own statement: the mark must be gone from content before the lines are read.
    const std::uint32_t fileCodePage = FileCodePage(&content, ansiCodePage);
    IniDocument document(content, DecoderFor(fileCodePage));
    if (auto place = document.FindSection(section)) {
      if (auto line = document.FindKey(*place, key)) {
        result = Unquote(document.line(*line).value);
        found = true;
      }
    }
  }
  if (!found) {
    // The default loses its trailing blanks (and, as a stored value does, its quotes).
    std::size_t last = defaultValue.find_last_not_of(" \t");
    result = Unquote(last == std::string_view::npos ? std::string_view()
                                                    : defaultValue.substr(0, last + 1));
  }
  if (bufferSize == 0) return {};
  return CutToAnsiBytes(result, bufferSize - 1, ansiCodePage);
}

bool SimIniFiles::WriteString(std::string_view file, std::string_view section,
                              std::optional<std::string_view> key,
                              std::optional<std::string_view> value) {
  section = TrimBlanks(section);
  if (key) key = TrimBlanks(*key);
  if (value) value = TrimBlanks(*value);
  // Refused, and the file stays as it is.
  if (BreaksSectionName(section) || (key && BreaksKeyName(*key))) return false;
  if (value && HasLineBreak(*value)) return false;

  const std::string path = FilePath(file);
  EditedFile edited;
  if (!edited.Load(files_, path, codePage_())) return false;
  IniDocument& document = edited.document();
  auto encode = [&](std::string_view text) { return edited.Encode(text); };

  std::optional<IniSection> place = document.FindSection(section);
  if (!key) {
    if (!place) return true;  // nothing to delete
    document.EraseLines(place->header, place->end);
  } else if (!value) {
    std::optional<std::size_t> line;
    if (place) line = document.FindKey(*place, *key);
    if (!line) return true;
    document.EraseLines(*line, *line + 1);
  } else if (!place) {
    // Built by appending: g++ 12 at -O2 mistakes "[" + text for an overlapping copy.
    std::string header(1, '[');
    header += encode(section);
    header += ']';
    std::string line = encode(*key) + "=" + encode(*value);
    document.AddSection(std::move(header), std::move(line));
  } else if (auto line = document.FindKey(*place, *key)) {
    // The key keeps the spelling it has in the file.
    document.ReplaceLine(*line, encode(document.line(*line).name) + "=" + encode(*value));
  } else {
    document.AddKeyLine(*place, encode(*key) + "=" + encode(*value));
  }
  return edited.Store(files_, path);
}

std::vector<IniKey> SimIniFiles::ReadSection(std::string_view file, std::string_view section) {
  std::vector<IniKey> keys;
  std::string bytes;
  if (files_.ReadAll(FilePath(file), &bytes) != kErrorSuccess) return keys;
  std::string_view content = bytes;
  const std::uint32_t fileCodePage = FileCodePage(&content, codePage_());
  IniDocument document(content, DecoderFor(fileCodePage));
  const std::optional<IniSection> place = document.FindSection(section);
  if (!place) return keys;
  for (std::size_t i = place->first; i < place->end; ++i) {
    const IniLine& line = document.line(i);
    if (line.kind == IniLine::Kind::kKey) {
      keys.push_back({line.name, std::string(Unquote(line.value))});
    }
  }
  return keys;
}

bool SimIniFiles::WriteSections(std::string_view file,
                                const std::vector<IniSectionKeys>& sections) {
  const std::string path = FilePath(file);
  EditedFile edited;
  if (!edited.Load(files_, path, codePage_())) return false;
  IniDocument& document = edited.document();
  auto encode = [&](std::string_view text) { return edited.Encode(text); };
  for (const IniSectionKeys& section : sections) {
    const std::string_view name = TrimBlanks(section.name);
    if (BreaksSectionName(name)) return false;
    const std::optional<IniSection> place = document.FindSection(name);
    if (section.keys.empty()) {
      if (place) document.EraseLines(place->header, place->end);
      continue;
    }
    std::vector<std::string> lines;
    lines.reserve(section.keys.size());
    for (const IniKey& key : section.keys) {
      const std::string_view keyName = TrimBlanks(key.name);
      const std::string_view value = TrimBlanks(key.value);
      if (BreaksKeyName(keyName) || HasLineBreak(value)) return false;
      std::string line = encode(keyName);
      line += '=';
      line += encode(value);
      lines.push_back(std::move(line));
    }
    std::string header(1, '[');
    header += encode(name);
    header += ']';
    document.ReplaceSection(place, name, std::move(header), std::move(lines));
  }
  return edited.Store(files_, path);
}

}  // namespace dav::platform::sim
