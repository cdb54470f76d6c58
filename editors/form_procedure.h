// The editors' procedures log "<form>.<procedure> Start" and "End" and, on a failure,
// "[err:<form>.<procedure>] line <step>, <number>, <description>", and return normally.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "util/log.h"
#include "util/procedure.h"
#include "xml/document.h"

namespace dav::editors {

template <typename Body>
void RunProcedure(util::Log& log, std::string_view form, std::string_view procedure, Body&& body) {
  util::Procedure proc(log, form, procedure);
  try {
    body(proc);
  } catch (...) {
    proc.LogFailure();
  }
}

// The text of an element's attribute; a missing attribute is run-time error 91, as reading
// the text of Nothing is.
inline std::string Attr(const xml::Node& element, std::string_view name) {
  return element.selectSingleNode("@" + std::string(name)).text();
}

// The check cell text of a Boolean: "True" or "False".
inline const char* CellFlag(bool value) {
  return value ? "True" : "False";
}

// "1" or "0".
inline const char* Flag(bool value) {
  return value ? "1" : "0";
}

// ASCII letters in lower case, as identifiers are compared.
inline std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// True for a text of blanks only (or none), as Trim leaves it empty.
inline bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// <Row ID="id" Value="value" /> with the blank before "/>"; the value as given.
inline std::string RowText(std::string_view id, std::string_view value) {
  return "<Row ID=\"" + std::string(id) + "\" Value=\"" + std::string(value) + "\" />";
}

// The first count characters of a UTF-8 text (a Korean syllable is one character).
std::string LeftChars(std::string_view text, std::size_t count);
// The number of characters of a UTF-8 text.
std::size_t CharCount(std::string_view text);

}  // namespace dav::editors
