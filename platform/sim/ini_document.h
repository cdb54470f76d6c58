// An ini file taken apart into lines the way the profile-string calls read it. Each line
// keeps its own bytes, so that a change rewrites only the lines it touches and the rest of
// the file (comments, blank lines, bytes of another code page) stays as it was.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dav::platform::sim {

struct IniLine {
  enum class Kind { kOther, kSection, kKey };

  std::string bytes;  // the line as stored, without its line end
  std::string end;    // "\r\n", "\n", or "" for a last line without one
  Kind kind = Kind::kOther;
  std::string name;   // section name or key, UTF-8, blanks around it removed
  std::string value;  // a key's value, UTF-8, blanks around it removed
};

// The lines [first, end) of one section: its key lines and whatever else stands there.
struct IniSection {
  std::size_t header = 0;  // index of the "[name]" line
  std::size_t first = 0;   // header + 1
  std::size_t end = 0;     // the next section's header, or the number of lines
};

class IniDocument {
 public:
  using Decoder = std::function<std::string(std::string_view)>;

  // Splits bytes at LF (a CR before it belongs to the line end) and reads each line through
  // decode, which turns the file's code page into UTF-8. "[name]" (text after "]" is
  // ignored) starts a section, "key=value" is a key line, anything else is kept as it is.
  IniDocument(std::string_view bytes, const Decoder& decode);

  // The first section of that name (case ignored), if any.
  std::optional<IniSection> FindSection(std::string_view name) const;
  // The first key line of that name (case ignored) in the section, if any.
  std::optional<std::size_t> FindKey(const IniSection& section, std::string_view key) const;

  const IniLine& line(std::size_t index) const { return lines_[index]; }

  // Replaces the bytes of a line, keeping its line end.
  void ReplaceLine(std::size_t index, std::string bytes);
  void EraseLines(std::size_t first, std::size_t end);
  // Adds a key line at the end of the section, after its last line that is not blank.
  void AddKeyLine(const IniSection& section, std::string bytes);
  // Adds a section header and one key line at the end of the file.
  void AddSection(std::string headerBytes, std::string keyBytes);
  // Puts these key lines in place of every line of the section up to its last one that is
  // not blank (blank lines before the next section stay); adds the section at the end of
  // the file when there is none. One pass over the lines, however many keys.
  // The new lines are not read again: name one section once in a series of changes.
  void ReplaceSection(const std::optional<IniSection>& section, std::string_view name,
                      std::string headerBytes, std::vector<std::string> keyBytes);

  std::string Bytes() const;

 private:
  void InsertLine(std::size_t index, std::string bytes);

  std::vector<IniLine> lines_;
};

// A value as GetPrivateProfileStringA returns it: without one pair of matching double or
// single quotes around the whole of it.
std::string_view Unquote(std::string_view value);

// Spaces and tabs removed from both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace dav::platform::sim
