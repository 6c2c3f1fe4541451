// Test helpers: a dialog with one control of each kind that records what it is sent, a fixture
// that runs dialogs on the Qt host, pollers that answer message boxes and menus, and screenshots.
#pragma once
#include "framework/Dialog.h"
#include "link/DmxLine.h"
#include "qt/DialogWindow.h"
#include "qt/QtHost.h"

#include <QAbstractSlider>
#include <QStyle>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class CFakeDialog final : public CDialog {
 public:
  enum : int { kResourceId = 900, kAboutCommand = 16 };
  enum : int { kButton = 1000, kField, kLabel, kGroup, kBar, kTrack, kFader, kUpDown, kProgress, kCombo, kBitmap,
               kIcon, kValueBox };

  struct CRecord {
    CMessage message;
    int controlPos = 0;  // the sender's position, text and selection when the message arrived
    std::string controlText;
    int controlSelection = -1;
    int focusId = 0;  // the dialog's focus when the message arrived
  };

  CFakeDialog();
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

  // Runs for every message after it was recorded; true: handled, no further processing.
  std::function<bool(const CMessage&)> onMessage;
  // The scroll bar follows the stepping rule (line 1, page 10, thumb tracking) unless refused.
  bool refuseScroll = false;
  std::vector<CRecord> log;

  // The messages of one kind (and control, unless kAnyId) in the order they came, and their codes.
  std::vector<CMessage> Messages(EMessage kind, int id = kAnyId) const;
  std::vector<int> Codes(EMessage kind, int id) const;
  const CRecord& Last(EMessage kind, int id) const;

 private:
  void Handle(const CMessage& message);
};

// Runs a callback every few milliseconds until it returns true (or the poller goes away).
class CPoller final {
 public:
  explicit CPoller(std::function<bool()> step, int intervalMs = 10);

 private:
  QTimer m_timer;
  std::function<bool()> m_step;
};

// Answers every message box that opens with OK and notes what it showed.
class CBoxAnswerer final {
 public:
  struct CSeen {
    QString title;
    QString text;
    int icon = 0;  // QMessageBox::Icon
    QWidget* parent = nullptr;
    int buttons = 0;
  };
  // ready: asked before each answer; the box stays open until it returns true.
  explicit CBoxAnswerer(std::function<bool()> ready = {});
  std::vector<CSeen> seen;

 private:
  std::function<bool()> m_ready;
  CPoller m_poller;
};

// A DMX line of the test's own on the virtual output.
class CVirtualLine final {
 public:
  CVirtualLine();
  CVirtualLine(const CVirtualLine&) = delete;
  CVirtualLine& operator=(const CVirtualLine&) = delete;

  CDmxLine& Line() { return m_line; }
  // The level of slot `slot` (1-based) in the last frame, -1 if none went out.
  int LastLevel(int slot) const;

 private:
  CDmxLine m_line;
};

class QtHost : public ::testing::Test {
 protected:
  void SetUp() override { CHost::SetCurrent((m_host = std::make_unique<CQtHost>()).get()); }
  void TearDown() override { CHost::SetCurrent(nullptr); }

  // Runs the dialog modally on the host; body runs inside its loop once the window is
  // active. The dialog is ended afterwards if the body did not end it. Returns the result.
  int Run(CDialog& dialog, const std::function<void(CDialogWindow&)>& body);

  std::unique_ptr<CQtHost> m_host;
};

// A control's widget of the expected class.
template <class W>
W* WidgetAs(CDialogWindow& window, int id) {
  auto* widget = dynamic_cast<W*>(window.Widget(id));
  EXPECT_NE(widget, nullptr) << "control " << id;
  return widget;
}

// Where a part of a scroll bar or slider (arrow, thumb, handle) is drawn.
QRect SubControl(QAbstractSlider* slider, QStyle::SubControl part);
// Drags a slider's thumb by `offset` pixels with the mouse, as a technician would.
void Drag(QAbstractSlider* slider, QPoint offset);
// Chooses an item of the window's system menu, shown by a right click; texts gets the menu's items.
void ChooseSystemMenuItem(QWidget& window, int command, QStringList* texts = nullptr);

// Saves a window as it would look on screen (for a dialog, a caption bar with its icon and
// title above the client area) under the build directory's screenshots folder; returns the path.
std::string SaveScreenshot(QWidget& window, const std::string& name, bool caption = true);
