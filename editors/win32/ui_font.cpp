#include "editors/win32/ui_font.h"

#include <cwchar>
#include <string>

namespace dav::editors::win32 {
namespace {

LOGFONTW MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    LOGFONTW fallback{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
    return fallback;
  }
  return metrics.lfMessageFont;
}

int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
  auto* faces = reinterpret_cast<std::wstring*>(found);
  // Vertical faces ("@Gulim") lie on their side.
  if (font->lfFaceName[0] != L'@') faces->append(font->lfFaceName).push_back(L'\n');
  return 1;
}

// A face of the Hangul character set, the familiar ones first; empty when there is none.
std::wstring HangulFace() {
  LOGFONTW query{};
  query.lfCharSet = HANGUL_CHARSET;
  std::wstring faces;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &query, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
  ReleaseDC(nullptr, dc);
  for (const wchar_t* preferred :
       {L"Malgun Gothic", L"Gulim", L"NanumGothic", L"Noto Sans CJK KR"}) {
    if (faces.find(std::wstring(preferred) + L"\n") != std::wstring::npos) return preferred;
  }
  return faces.substr(0, faces.find(L'\n'));
}

}  // namespace

bool CoversHangul(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  const wchar_t sample[] = L"가힣한글설정";
  WORD glyphs[6] = {};
  const DWORD done = GetGlyphIndicesW(dc, sample, 6, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, old);
  DeleteDC(dc);
  if (done != 6) return false;
  for (WORD glyph : glyphs) {
    if (glyph == 0xFFFF || glyph == 0) return false;
  }
  return true;
}

HFONT CreateUiFont(bool bold, int percent) {
  LOGFONTW font = MessageFont();
  font.lfHeight = MulDiv(font.lfHeight, percent, 100);
  if (bold) font.lfWeight = FW_BOLD;
  HFONT created = CreateFontIndirectW(&font);
  if (CoversHangul(created)) return created;
  const std::wstring face = HangulFace();
  if (face.empty()) return created;
  DeleteObject(created);
  font.lfCharSet = HANGUL_CHARSET;
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  font.lfFaceName[LF_FACESIZE - 1] = L'\0';
  return CreateFontIndirectW(&font);
}

}  // namespace dav::editors::win32
