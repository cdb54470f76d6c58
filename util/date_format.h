// Dates and times in the forms the log files use.
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/system_info.h"

namespace dav::util {

// "yyyy-mm-dd hh:nn:ss" (24-hour clock), the time stamp of a log line; Append... adds it to
// the end of *text.
std::string FormatLogStamp(platform::LocalTime t);
void AppendLogStamp(platform::LocalTime t, std::string* text);

// "yymmdd", the date in a daily log file's name.
std::string FormatShortDay(platform::LocalTime t);

// "yyyy-mm-dd" of a day.
std::string FormatIsoDay(std::chrono::local_days day);

// The machine's general date format: its short date picture, a blank and its time picture
// ("2026-12-08 오후 3:04:05" with the Korean defaults). Exactly at midnight only the date is
// shown, as the general date format does.
std::string FormatGeneralDate(platform::LocalTime t, const platform::LocaleFormats& locale);

}  // namespace dav::util
