#include "editors/qt/korean_font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace dav::editors::qt {

QString UseKoreanFont() {
  const QStringList korean = QFontDatabase::families(QFontDatabase::Korean);
  QString family;
  for (const QString& preferred : {QString("NanumGothic"), QString("Noto Sans CJK KR")}) {
    if (korean.contains(preferred)) {
      family = preferred;
      break;
    }
  }
  if (family.isEmpty() && !korean.isEmpty()) family = korean.front();
  if (!family.isEmpty()) {
    QFont font = QApplication::font();
    font.setFamily(family);
    QApplication::setFont(font);
  }
  return family;
}

}  // namespace dav::editors::qt
