// The escaping of a text for an attribute value in the component's documents, and of a text
// for an HTML page.
#pragma once

#include <string>
#include <string_view>

namespace dav::util {

class Log;

// Replaces "&" first, then the double quote, "<" and ">" by their entities; the apostrophe
// stays. An entity already in the text gets its ampersand escaped once.
std::string EscapeAttributeValue(std::string_view text);

// The same, with the apostrophe as "&#39;" as well: safe in an HTML element and in an
// attribute quoted either way.
std::string EscapeHtml(std::string_view text);

// Calls escape and hands a failure to the log's error reporter under source, with the text
// "Line : <line>, <description>", raised again. Both XMLValueReplace procedures use it.
std::string EscapeReportingTo(Log& log, std::string_view source, std::string_view text);

}  // namespace dav::util
