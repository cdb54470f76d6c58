// The apply-choice dialog, with a picture of its own: a screen with a circular arrow (the
// shell starting again).
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/qt/dialogs.h"

namespace dav::editors::qt {
namespace {

QPixmap Picture() {
  QPixmap picture(96, 96);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(60, 80, 120), 3));
  painter.setBrush(QColor(176, 204, 255));
  painter.drawRoundedRect(QRectF(8, 10, 80, 56), 6, 6);
  painter.drawRect(QRectF(38, 66, 20, 10));
  painter.drawLine(QPointF(26, 80), QPointF(70, 80));
  painter.setPen(QPen(QColor(40, 120, 60), 5, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(30, 20, 36, 36), 40 * 16, 280 * 16);
  QPainterPath head;
  head.moveTo(62, 16);
  head.lineTo(70, 30);
  head.lineTo(55, 30);
  head.closeSubpath();
  painter.fillPath(head, QColor(40, 120, 60));
  return picture;
}

}  // namespace

std::unique_ptr<FormDialog> MakeMsgDialog(frmMsg& form) {
  auto dialog = std::make_unique<FormDialog>(form);
  auto* layout = new QVBoxLayout(dialog.get());
  auto* body = new QHBoxLayout;
  auto* picture = new QLabel;
  picture->setObjectName("picture");
  picture->setPixmap(Picture());
  picture->setAlignment(Qt::AlignTop);
  body->addWidget(picture);
  auto* lines = new QVBoxLayout;
  for (const std::string& line : form.lines) {
    auto* label = new QLabel(Q(line));
    label->setWordWrap(true);
    lines->addWidget(label);
  }
  body->addLayout(lines, 1);
  layout->addLayout(body);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(dialog->Button("Command1"));
  buttons->addWidget(dialog->Button("Command2"));
  layout->addLayout(buttons);
  dialog->resize(560, 220);
  dialog->Refresh();
  return dialog;
}

}  // namespace dav::editors::qt
