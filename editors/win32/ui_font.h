// The font of the editors' windows: the system's message font when it has the Hangul
// syllables, else a face of the Hangul character set, so that Korean captions never show
// as empty boxes.
#pragma once

#include <windows.h>

namespace dav::editors::win32 {

// A new font (the caller deletes it); bold and scaled by percent for titles.
HFONT CreateUiFont(bool bold = false, int percent = 100);

// Whether the font has glyphs of its own for Hangul syllables.
bool CoversHangul(HFONT font);

}  // namespace dav::editors::win32
