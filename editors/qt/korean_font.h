// The application font: a font with Korean glyphs (NanumGothic from fonts-nanum, else any
// installed font that covers Korean), so that the editors' texts never show empty boxes.
#pragma once

#include <QString>

namespace dav::editors::qt {

// Sets the application font; returns its family, or empty when no installed font covers
// Korean.
QString UseKoreanFont();

}  // namespace dav::editors::qt
