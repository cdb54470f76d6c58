// Modal message boxes.
#pragma once

#include <cstdint>
#include <string_view>

namespace dav::platform {

// MessageBox styles and answers used by the component (Windows' values).
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbYesNoCancel = 0x3;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbIconStop = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A modal message box; returns the button the user chose (kIdOk ...).
  virtual int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) = 0;
};

}  // namespace dav::platform
