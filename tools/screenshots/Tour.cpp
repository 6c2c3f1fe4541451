// The tour's steps, run one at a time from a polling timer.
#include "Tour.h"

#include "framework/Dialog.h"
#include "qt/DialogWindow.h"
#include "qt/QtHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QLinearGradient>
#include <QPainter>

namespace {
constexpr int kPollMs = 20;
constexpr int kPatienceMs = 10'000;
constexpr int kCaptionHeight = 24;
}  // namespace

CTour::CTour(CQtHost& host, QString folder) : m_host(host), m_folder(std::move(folder)) {
  QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
  m_timer.start(kPollMs);
}

void CTour::Then(QString name, std::function<bool()> ready, std::function<void()> act, int afterMs) {
  m_steps.push_back({std::move(name), std::move(ready), std::move(act), afterMs});
}

bool CTour::Showing(int resourceId) const {
  const CDialogWindow* top = m_host.TopWindow();
  return top && top->Dialog().ResourceId() == resourceId && top->isVisible() && top->isActiveWindow();
}

QMessageBox* CTour::Box() const {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  return box && box->isVisible() ? box : nullptr;
}

CDialogWindow& CTour::Top() const { return *m_host.TopWindow(); }
CDialog& CTour::TopDialog() const { return Top().Dialog(); }

void CTour::Click(int controlId) const {
  if (auto* button = dynamic_cast<QAbstractButton*>(Top().Widget(controlId))) button->click();
}

void CTour::Close() const { Top().close(); }

void CTour::Tick(int count) const {
  for (int tick = 0; tick < count; ++tick) TopDialog().Dispatch({EMessage::Timer, 1, 0, 0});
}

// A step's action runs on its own from the event loop, as a user's would: an action that opens a
// dialog returns only when that dialog has closed, and the next steps run inside its loop.
void CTour::Poll() {
  if (m_acting || m_steps.empty()) return;
  const CStep& next = m_steps.front();
  const int waitedMs = ++m_waited * kPollMs;
  if (waitedMs < next.afterMs || !next.ready()) {
    if (waitedMs < next.afterMs + kPatienceMs) return;
    m_problems << "gave up waiting for: " + m_steps.front().name;
    m_steps.clear();
    QCoreApplication::exit(1);  // every dialog's loop ends, and the dialog is closed
    return;
  }
  m_waited = 0;
  std::function<void()> act = std::move(m_steps.front().act);
  m_steps.pop_front();
  m_acting = true;
  QTimer::singleShot(0, [this, act = std::move(act)] {
    m_acting = false;
    act();
  });
}

void CTour::Shoot(QWidget& window, const QString& name) {
  QPixmap client = window.grab();
  client.setDevicePixelRatio(1);  // drawn pixel for pixel, at a scale above 1 too
  QImage shot(client.width(), client.height() + kCaptionHeight, QImage::Format_RGB32);
  QPainter painter(&shot);
  QLinearGradient bar(0, 0, 0, kCaptionHeight);
  bar.setColorAt(0, QColor(0x3a, 0x5f, 0x9e));
  bar.setColorAt(1, QColor(0x27, 0x45, 0x7a));
  painter.fillRect(QRect(0, 0, shot.width(), kCaptionHeight), bar);
  window.windowIcon().paint(&painter, QRect(4, 4, 16, 16));
  QFont font = window.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(26, 0, shot.width() - 30, kCaptionHeight), Qt::AlignVCenter | Qt::AlignLeft,
                   window.windowTitle());
  painter.drawPixmap(0, kCaptionHeight, client);
  painter.end();
  const QString path = m_folder + "/" + name + ".png";
  if (!shot.save(path)) m_problems << "cannot write " + path;
}
