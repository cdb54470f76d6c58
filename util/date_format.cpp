#include "util/date_format.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

namespace dav::util {
namespace {

using namespace std::chrono;

struct Parts {
  int year, month, day, dayOfWeek, hour, minute, second;
};

Parts Split(platform::LocalTime t) {
  const local_days day = floor<days>(t);
  const year_month_day ymd{day};
  const hh_mm_ss hms{floor<seconds>(t - day)};
  return {int(ymd.year()),           int(unsigned(ymd.month())),
          int(unsigned(ymd.day())),  int(weekday{day}.c_encoding()),
          int(hms.hours().count()),  int(hms.minutes().count()),
          int(hms.seconds().count())};
}

std::string Pad(int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  return buffer;
}

constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday", "Friday", "Saturday"};

// Expands a Windows date or time picture (d, M, y, h, H, m, s, t and quoted literals).
std::string Expand(std::string_view picture, const Parts& p, const platform::LocaleFormats& loc) {
  std::string out;
  for (std::size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    if (c == '\'') {
      const std::size_t end = picture.find('\'', i + 1);
      const std::size_t stop = end == std::string_view::npos ? picture.size() : end;
      out.append(picture.substr(i + 1, stop - i - 1));
      i = stop + 1;
      continue;
    }
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    const int n = int(run);
    switch (c) {
      case 'd':
        if (n <= 2)
          out += Pad(p.day, n);
        else if (n == 3)
          out += kDays[p.dayOfWeek].substr(0, 3);
        else
          out += kDays[p.dayOfWeek];
        break;
      case 'M':
        if (n <= 2)
          out += Pad(p.month, n);
        else if (n == 3)
          out += kMonths[p.month - 1].substr(0, 3);
        else
          out += kMonths[p.month - 1];
        break;
      case 'y':
        out += n <= 2 ? Pad(p.year % 100, n) : Pad(p.year, 4);
        break;
      case 'h':
        out += Pad(p.hour % 12 == 0 ? 12 : p.hour % 12, std::min(n, 2));
        break;
      case 'H':
        out += Pad(p.hour, std::min(n, 2));
        break;
      case 'm':
        out += Pad(p.minute, std::min(n, 2));
        break;
      case 's':
        out += Pad(p.second, std::min(n, 2));
        break;
      case 't': {
        const std::string& designator = p.hour < 12 ? loc.amDesignator : loc.pmDesignator;
        out += n == 1 ? designator.substr(0, 1) : designator;
        break;
      }
      default:
        out.append(run, c);
    }
    i += run;
  }
  return out;
}

}  // namespace

// Each field zero-padded to its width, as Pad gives it, in one piece: these are written with
// every log line.
std::string FormatLogStamp(platform::LocalTime t) {
  std::string stamp;
  AppendLogStamp(t, &stamp);
  return stamp;
}

void AppendLogStamp(platform::LocalTime t, std::string* text) {
  const Parts p = Split(t);
  char buffer[80];
  const int length = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year,
                                   p.month, p.day, p.hour, p.minute, p.second);
  text->append(buffer, static_cast<std::size_t>(length));
}

std::string FormatShortDay(platform::LocalTime t) {
  const Parts p = Split(t);
  char buffer[48];
  const int length =
      std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", p.year % 100, p.month, p.day);
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string FormatIsoDay(std::chrono::local_days day) {
  const year_month_day ymd{day};
  return Pad(int(ymd.year()), 4) + "-" + Pad(int(unsigned(ymd.month())), 2) + "-" +
         Pad(int(unsigned(ymd.day())), 2);
}

std::string FormatGeneralDate(platform::LocalTime t, const platform::LocaleFormats& locale) {
  const Parts p = Split(t);
  std::string text = Expand(locale.shortDate, p, locale);
  if (p.hour != 0 || p.minute != 0 || p.second != 0) text += " " + Expand(locale.time, p, locale);
  return text;
}

}  // namespace dav::util
