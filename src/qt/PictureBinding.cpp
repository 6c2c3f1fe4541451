// Bitmaps and icons.
#include "qt/PictureBinding.h"

#include "framework/Resources.h"
#include "framework/Text.h"
#include "qt/DialogWindow.h"
#include "qt/ProgramIcon.h"

#include <QLabel>

CPictureBinding::CPictureBinding(CControl& control, CDialogWindow& window) : CControlBinding(control, window) {
  auto* label = new QLabel(&window);
  const QPixmap picture = Picture();
  label->setPixmap(picture);
  QRect rect = Rect();
  if (!picture.isNull()) rect.setSize(picture.deviceIndependentSize().toSize());
  Adopt(label, rect);
}

// An icon control shows the program icon; a bitmap control names its bitmap by resource number.
QPixmap CPictureBinding::Picture() const {
  const CDialogUnits& units = m_window.Units();
  if (m_control.Kind() == EControlKind::Icon) return QPixmap::fromImage(CProgramIcon::Draw(units.Pixels(32)));
  if (static_cast<int>(LeadingNumber(m_control.Text())) != kPanelBanner) return {};
  QImage banner(":/res/banner-142.png");
  const QSize size(units.Pixels(banner.width()), units.Pixels(banner.height()));
  if (!banner.isNull() && size != banner.size())
    banner = banner.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return QPixmap::fromImage(banner);
}
