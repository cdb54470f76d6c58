// The Qt widgets of a form model. Each widget is bound to one control of the form: what the
// user does goes to the form as a call, and after every call all bound widgets are set
// from the form again, so the rules live in the form alone. A widget's object name is the
// control's, "chkStartMenu(4)" or "cmdOK", so that tests and tools find it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTabWidget>
#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

#include "editors/form.h"

namespace dav::editors::qt {

inline QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The object name of a control: "name(index)" for an element of an array of several.
QString ControlName(const Form& form, const std::string& control, int index);

// The dialog of a form: the close box and Esc are the form's close box; the dialog ends
// when the form has closed.
class FormDialog : public QDialog {
 public:
  explicit FormDialog(Form& form);

  Form& form() { return form_; }

  QCheckBox* Check(const std::string& control, int index = 0);
  QRadioButton* Option(const std::string& control, int index);
  QComboBox* List(const std::string& control, int index = 0);
  QLineEdit* Text(const std::string& control, int index = 0);
  QPushButton* Button(const std::string& control, int index = 0);
  QTableWidget* Grid(const std::string& control, int index = 0);
  // The tabs of the form, each with its title, title bar, side menu and one panel per
  // side menu entry. The selected side menu entry is painted RGB 176, 204, 255.
  QTabWidget* Tabs(const std::vector<std::vector<QWidget*>>& panels);

  // Sets every bound widget from the form.
  void Refresh();

 protected:
  void closeEvent(class QCloseEvent* event) override;
  void reject() override;

 private:
  // After a call to the form: the widgets follow it, and the dialog ends once it closed.
  void Changed();
  void Bind(std::function<void()> refresh) { refreshers_.push_back(std::move(refresh)); }

  Form& form_;
  std::vector<std::function<void()>> refreshers_;
  bool refreshing_ = false;
};

}  // namespace dav::editors::qt
