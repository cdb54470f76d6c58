#include "platform/sim/ini_document.h"

#include <iterator>
#include <utility>

#include "platform/sim/windows_path.h"

namespace dav::platform::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void Classify(std::string_view text, IniLine* line) {
  std::string_view trimmed = TrimBlanks(text);
  if (!trimmed.empty() && trimmed.front() == '[') {
    std::size_t close = trimmed.find(']');
    if (close == std::string_view::npos) return;  // "[name" without "]" is no header
    line->kind = IniLine::Kind::kSection;
    line->name = TrimBlanks(trimmed.substr(1, close - 1));
    return;
  }
  std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return;
  line->kind = IniLine::Kind::kKey;
  line->name = TrimBlanks(trimmed.substr(0, equals));
  line->value = TrimBlanks(trimmed.substr(equals + 1));
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

IniDocument::IniDocument(std::string_view bytes, const Decoder& decode) {
  while (!bytes.empty()) {
    std::size_t newline = bytes.find('\n');
    IniLine line;
    std::string_view text = bytes.substr(0, newline);
    if (newline == std::string_view::npos) {
      bytes = {};
    } else {
      bytes.remove_prefix(newline + 1);
      const bool crlf = !text.empty() && text.back() == '\r';
      if (crlf) text.remove_suffix(1);
      line.end = std::string(crlf ? kLineEnd : kLineEnd.substr(1));
    }
    line.bytes = text;
    Classify(decode(text), &line);
    lines_.push_back(std::move(line));
  }
}

std::optional<IniSection> IniDocument::FindSection(std::string_view name) const {
  name = TrimBlanks(name);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != IniLine::Kind::kSection || !NamesEqual(lines_[i].name, name)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && lines_[end].kind != IniLine::Kind::kSection) ++end;
    return IniSection{i, i + 1, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindKey(const IniSection& section,
                                                std::string_view key) const {
  key = TrimBlanks(key);
  for (std::size_t i = section.first; i < section.end; ++i) {
    if (lines_[i].kind == IniLine::Kind::kKey && NamesEqual(lines_[i].name, key)) return i;
  }
  return std::nullopt;
}

void IniDocument::ReplaceLine(std::size_t index, std::string bytes) {
  lines_[index].bytes = std::move(bytes);
}

void IniDocument::EraseLines(std::size_t first, std::size_t end) {
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
               lines_.begin() + static_cast<std::ptrdiff_t>(end));
}

void IniDocument::AddKeyLine(const IniSection& section, std::string bytes) {
  std::size_t after = section.header;
  for (std::size_t i = section.first; i < section.end; ++i) {
    if (!TrimBlanks(lines_[i].bytes).empty()) after = i;
  }
  InsertLine(after + 1, std::move(bytes));
}

void IniDocument::AddSection(std::string headerBytes, std::string keyBytes) {
  InsertLine(lines_.size(), std::move(headerBytes));
  InsertLine(lines_.size(), std::move(keyBytes));
}

void IniDocument::ReplaceSection(const std::optional<IniSection>& section, std::string_view name,
                                 std::string headerBytes, std::vector<std::string> keyBytes) {
  std::size_t from = lines_.size();
  std::size_t to = lines_.size();
  if (section) {
    from = section->first;
    to = section->first;
    for (std::size_t i = section->first; i < section->end; ++i) {
      if (!TrimBlanks(lines_[i].bytes).empty()) to = i + 1;
    }
  }
  // The line before the new ones may be the file's last, without a line end yet.
  if (from > 0 && lines_[from - 1].end.empty()) lines_[from - 1].end = kLineEnd;
  std::vector<IniLine> lines;
  lines.reserve(lines_.size() - (to - from) + keyBytes.size() + 1);
  std::move(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(from),
            std::back_inserter(lines));
  if (!section) {
    IniLine header;
    header.bytes = std::move(headerBytes);
    header.end = kLineEnd;
    header.kind = IniLine::Kind::kSection;
    header.name = name;
    lines.push_back(std::move(header));
  }
  for (std::string& bytes : keyBytes) {
    IniLine line;
    line.bytes = std::move(bytes);
    line.end = kLineEnd;
    lines.push_back(std::move(line));
  }
  std::move(lines_.begin() + static_cast<std::ptrdiff_t>(to), lines_.end(),
            std::back_inserter(lines));
  lines_ = std::move(lines);
}

void IniDocument::InsertLine(std::size_t index, std::string bytes) {
  // The line before a new one may be the file's last, without a line end yet.
  if (index > 0 && lines_[index - 1].end.empty()) lines_[index - 1].end = kLineEnd;
  IniLine line;
  line.bytes = std::move(bytes);
  line.end = kLineEnd;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

std::string IniDocument::Bytes() const {
  std::string bytes;
  for (const IniLine& line : lines_) {
    bytes += line.bytes;
    bytes += line.end;
  }
  return bytes;
}

}  // namespace dav::platform::sim
