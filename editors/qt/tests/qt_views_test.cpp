// The Qt views over the form models, clicked as a person clicks them: the widgets follow
// the form's rules, OK builds the document the model builds, and the dialogs render their
// Korean texts. Each test leaves a screenshot of its dialog in the build folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "editors/form_script.h"
#include "editors/qt/dialogs.h"
#include "editors/qt/korean_font.h"
#include "editors/qt/qt_form_ui.h"
#include "editors/tests/editor_fixture.h"

namespace dav::editors::qt {
namespace {

using editors::testing::EditorTest;

// Runs action on the next turn of the event loop, when the modal dialog shown then is up.
void WhenShown(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] { action(QApplication::activeModalWidget()); });
}

template <typename Widget>
Widget* Find(QWidget* dialog, const char* name) {
  auto* widget = dialog->findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

// A click where a person clicks a box: on its indicator at the left.
void ClickBox(QWidget* box) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

void Screenshot(QWidget* dialog, const QString& name) {
  QDir().mkpath(DAV_SCREENSHOT_DIR);
  ASSERT_TRUE(dialog->grab().save(QString(DAV_SCREENSHOT_DIR) + "/" + name + ".png"));
}

// Every Hangul syllable of the dialog's texts has a glyph in the font that draws it.
void ExpectKoreanGlyphs(QWidget* dialog) {
  long syllables = 0;
  for (QWidget* widget : dialog->findChildren<QWidget*>()) {
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) text = label->text();
    const QRawFont font = QRawFont::fromFont(widget->font(), QFontDatabase::Korean);
    for (const QChar c : text) {
      if (c.unicode() < 0xAC00 || c.unicode() > 0xD7A3) continue;
      ++syllables;
      EXPECT_TRUE(font.supportsCharacter(c))
          << "no glyph for " << QString(c).toStdString() << " in " << text.toStdString();
    }
  }
  EXPECT_GT(syllables, 20) << "the dialog shows its Korean texts";
}

class QtViewsTest : public EditorTest {
 protected:
  QtViewsTest() : ui_(env_->platform()) {}
  EditorContext Context() { return EditorContext{log_, ui_, catalogue_.get(), request_, choice_}; }
  QtFormUi ui_;
};

TEST_F(QtViewsTest, WindowEditorLinkedBoxesMirrorAndOkBuildsTheModelsDocument) {
  EditorContext context = Context();
  frmWinConfig form(context);
  WhenShown([](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "윈도우 설정");
    ClickBox(Find<QCheckBox>(dialog, "chkStartMenu(4)"));
    EXPECT_TRUE(Find<QCheckBox>(dialog, "chkStartMenu(14)")->isChecked())
        << "실행 표시 follows 실행 명령";
    ClickBox(Find<QCheckBox>(dialog, "chkStartMenu(17)"));
    EXPECT_TRUE(Find<QCheckBox>(dialog, "chkStartMenu(2)")->isChecked());
    Screenshot(dialog, "frmWinConfig");
    ExpectKoreanGlyphs(dialog);
    WhenShown([](QWidget* msg) {
      ASSERT_NE(msg, nullptr);
      EXPECT_EQ(msg->objectName(), "frmMsg");
      Screenshot(msg, "frmMsg");
      ExpectKoreanGlyphs(msg);
      QTest::mouseClick(Find<QPushButton>(msg, "Command2"), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
  });
  const std::string shown = form.ShowForm(Document(""));
  EXPECT_EQ(choice_, kChoiceAfterReboot);
  const std::string modelled =
      EditWin(Document(""), "check chkStartMenu(4)\ncheck chkStartMenu(17)\nok\nchoose 7");
  EXPECT_EQ(shown, modelled);
  EXPECT_NE(shown, "");
}

TEST_F(QtViewsTest, SystemEditorAddsFoldersAndRefusesADuplicateWithAMessage) {
  EditorContext context = Context();
  frmSysConfig form(context);
  std::string message;
  WhenShown([&message, &form](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "보안 설정");
    // A check cell toggled by the user reaches the form's grid.
    Find<QTableWidget>(dialog, "fgrid(0)")->item(1, 0)->setCheckState(Qt::Checked);
    EXPECT_EQ(form.Grids("fgrid")[0].Cell(1, "check"), "True");
    auto* path = Find<QLineEdit>(dialog, "txtPath");
    EXPECT_FALSE(path->isEnabled()) << "folder access is off";
    ClickBox(Find<QCheckBox>(dialog, "chkFolder(0)"));
    EXPECT_TRUE(path->isEnabled());
    QTest::keyClicks(path, "C:\\Temp");
    QTest::mouseClick(Find<QPushButton>(dialog, "cmdInsert"), Qt::LeftButton);
    auto* folders = Find<QTableWidget>(dialog, "fgridFolder");
    ASSERT_EQ(folders->rowCount(), 1);
    EXPECT_EQ(folders->item(0, 1)->text().toStdString(), "c:\\temp");
    WhenShown([&message](QWidget* box) {
      ASSERT_NE(qobject_cast<QMessageBox*>(box), nullptr);
      message = qobject_cast<QMessageBox*>(box)->text().toStdString();
      qobject_cast<QMessageBox*>(box)->accept();
    });
    QTest::mouseClick(Find<QPushButton>(dialog, "cmdInsert"), Qt::LeftButton);
    EXPECT_EQ(folders->rowCount(), 1);
    Screenshot(dialog, "frmSysConfig");
    ExpectKoreanGlyphs(dialog);
    QTest::mouseClick(Find<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
  });
  const std::string applets =
      "<ControlMngr><WinXP><CPLList ID=\"access.cpl\" DisplayName=\"내게 필요한 옵션\" "
      "Value=\"1\"/><CPLList ID=\"appwiz.cpl\" DisplayName=\"프로그램 추가/제거\" Value=\"0\"/>"
      "<CPLList ID=\"desk.cpl\" DisplayName=\"디스플레이\" Value=\"1\"/></WinXP></ControlMngr>";
  EXPECT_EQ(form.ShowForm(Document(applets)), "");
  EXPECT_EQ(message, "중복된 경로입니다.");
}

TEST_F(QtViewsTest, TheCloseBoxOfTheChoiceDialogAnswers2) {
  EditorContext context = Context();
  frmMsg msg(context);
  WhenShown([](QWidget* dialog) {
    ASSERT_NE(dialog, nullptr);
    dialog->close();
  });
  EXPECT_EQ(msg.ShowForm(), kChoiceClosed);
}

}  // namespace
}  // namespace dav::editors::qt

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // no display needed
  QApplication app(argc, argv);
  dav::editors::qt::UseKoreanFont();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
