// An edit field: its text both ways (typing sets the control's text and sends EN_CHANGE),
// read-only and digits-only fields, and a text that is fitted into a narrow box.
#pragma once
#include "qt/ControlBinding.h"

class QLineEdit;
class QString;

class CEditBinding final : public CControlBinding {
 public:
  CEditBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;
  void OnEdited(const QString& text);
  void FitText();

  QLineEdit* m_edit;
};
