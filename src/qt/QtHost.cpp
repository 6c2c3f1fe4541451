// The Qt host: nested event loops per dialog, QTimer window timers, Qt message and file dialogs.
#include "qt/QtHost.h"

#include "framework/Dialog.h"
#include "framework/ModalRun.h"
#include "qt/DialogWindow.h"
#include "qt/FileFilter.h"
#include "qt/RecentFolders.h"
#include "qt/UserSettings.h"
#include "qt/WindowPlaces.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cassert>

namespace {

// How often a running dialog is checked for having ended by a call the host did not route
// (EndDialog from code outside a message handler).
constexpr int kEndCheckMs = 50;

QMessageBox::Icon BoxIcon(EMessageIcon icon) {
  switch (icon) {
    case EMessageIcon::None: return QMessageBox::NoIcon;
    case EMessageIcon::Error: return QMessageBox::Critical;
    case EMessageIcon::Warning: return QMessageBox::Warning;
    case EMessageIcon::Information: return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

// Stops a window timer and lets it go once any tick of it under way has returned.
void Discard(QTimer* timer) {
  timer->stop();
  timer->deleteLater();
}

}  // namespace

CQtHost::CQtHost() : m_start(std::chrono::steady_clock::now()), m_context(std::make_unique<QObject>()) {
  assert(qApp && "the Qt host needs a QApplication");
}

// The periodic threads stop first, as they may still post work; the timers go with m_context.
CQtHost::~CQtHost() { m_periodic.clear(); }

CDialogWindow* CQtHost::TopWindow() const { return m_running.empty() ? nullptr : m_running.back().window; }

CDialogWindow* CQtHost::MainWindow() const { return m_running.empty() ? nullptr : m_running.front().window; }

CDialogWindow* CQtHost::WindowOf(const CDialog& dialog) const {
  for (const CRunning& running : m_running)
    if (running.dialog == &dialog) return running.window;
  return nullptr;
}

void CQtHost::CloseAll() {
  m_closingAll = true;
  for (const COpenBox& open : m_boxes) open.box->reject();
  // Each run's loop ends; the run then closes its dialog once no handler of it is under way.
  for (const CRunning& running : m_running) running.loop->exit(0);
}

// --- modal runs ---

int CQtHost::RunModal(CDialog& dialog) {
  const bool appWindow = (dialog.Template().style & DialogStyle::kAppWindow) != 0;
  QWidget* owner = appWindow ? nullptr : static_cast<QWidget*>(TopWindow());
  std::unique_ptr<CDialogWindow> window;
  QEventLoop loop;
  CModalSteps steps;
  steps.opened = [&] {
    window = std::make_unique<CDialogWindow>(
        dialog, [this, &dialog](const CMessage& message) { Send(dialog, message); }, owner);
    m_running.push_back({&dialog, window.get(), &loop});
  };
  steps.started = [&] {
    if (dialog.HasEnded()) return;
    Place(*window, owner);
    window->ShowModal();
  };
  // The loop runs until the dialog ends; it only stops earlier when the application quits.
  steps.turn = [&] {
    if (m_closingAll) return false;
    QTimer endCheck;
    QObject::connect(&endCheck, &QTimer::timeout, &loop, [&] {
      if (dialog.HasEnded()) loop.exit(0);
    });
    endCheck.start(kEndCheckMs);
    loop.exec(QEventLoop::DialogExec);
    return dialog.HasEnded();
  };
  steps.ending = [&] {
    if (window->isVisible()) RememberPlace(QString::number(dialog.ResourceId()), *window);
    window->Detach();
    window->hide();
  };
  steps.dropTimers = [&] { KillTimersOf(dialog); };
  steps.closed = [&] {
    std::erase_if(m_running, [&](const CRunning& running) { return running.dialog == &dialog; });
    window.reset();
    ReactivateTop();
    EndFinishedLoops();
  };
  return RunModalDialog(dialog, steps);
}

void CQtHost::Place(CDialogWindow& window, const QWidget* owner) const {
  const QSize frame = window.size() + FrameExtra(owner ? owner : m_sideWindow);
  if (const auto kept = RememberedPlace(QString::number(window.Dialog().ResourceId()), frame)) {
    window.move(*kept);
    return;
  }
  if (!owner || !m_sideWindow || !m_sideWindow->isVisible() || !m_sideWindow->screen()) return;
  const QRect room = m_sideWindow->screen()->availableGeometry();
  if (const auto beside = PlaceBeside(frame, m_sideWindow->frameGeometry(), room)) window.move(*beside);
}

void CQtHost::Send(CDialog& dialog, const CMessage& message) {
  dialog.Dispatch(message);
  EndFinishedLoops();
}

void CQtHost::EndFinishedLoops() {
  for (const CRunning& running : m_running)
    if (running.dialog->HasEnded()) running.loop->exit(0);
}

// The window under a box or dialog that has closed becomes the active one again, so that the
// keyboard and the focus the dialog sets go there (not every platform does this by itself).
void CQtHost::ReactivateTop() {
  CDialogWindow* top = TopWindow();
  const QWidget* modal = QApplication::activeModalWidget();
  if (top && top->isVisible() && !top->isActiveWindow() && (!modal || modal == top)) top->activateWindow();
}

// --- window timers ---

void CQtHost::SetTimer(CDialog& dialog, int timerId, int periodMs) {
  QTimer*& timer = m_timers[{&dialog, timerId}];
  if (!timer) {
    timer = new QTimer(m_context.get());
    timer->setTimerType(Qt::PreciseTimer);
    // Each tick is handed on through the event queue, so the timer stays free while its handler
    // waits in a message box: further ticks then reach the dialog, as window timers do. A tick
    // still waiting to be handled is not queued twice.
    QObject::connect(timer, &QTimer::timeout, timer, [this, &dialog, timerId, timer] {
      if (timer->property("tickQueued").toBool()) return;
      timer->setProperty("tickQueued", true);
      QMetaObject::invokeMethod(
          timer,
          [this, &dialog, timerId, timer] {
            timer->setProperty("tickQueued", false);
            const auto live = m_timers.find({&dialog, timerId});
            if (live == m_timers.end() || live->second != timer) return;  // killed meanwhile
            if (!dialog.HasEnded()) Send(dialog, {EMessage::Timer, timerId, 0, 0});
          },
          Qt::QueuedConnection);
    });
  }
  // Setting a timer again restarts it with the new period.
  timer->start(std::max(1, periodMs));
}

void CQtHost::KillTimer(CDialog& dialog, int timerId) {
  const auto found = m_timers.find({&dialog, timerId});
  if (found == m_timers.end()) return;
  // The timer may be the one whose tick is running now.
  Discard(found->second);
  m_timers.erase(found);
}

void CQtHost::KillTimersOf(const CDialog& dialog) {
  std::erase_if(m_timers, [&](const auto& entry) {
    if (entry.first.first != &dialog) return false;
    Discard(entry.second);
    return true;
  });
}

// --- boxes ---

QWidget* CQtHost::OwnerFor(int resourceId) const {
  if (resourceId == 0) return nullptr;
  for (auto it = m_running.rbegin(); it != m_running.rend(); ++it)
    if (it->dialog->ResourceId() == resourceId) return it->window;
  return TopWindow();
}

EMessageReply CQtHost::ShowMessageBox(const CMessageBox& box) {
  const bool question = box.buttons == EMessageButtons::YesNo;
  if (m_closingAll) return question ? EMessageReply::No : EMessageReply::Ok;
  QMessageBox message(BoxIcon(box.icon), QString::fromStdString(box.caption), QString::fromStdString(box.text),
                      question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, OwnerFor(box.ownerResourceId));
  message.setTextFormat(Qt::PlainText);
  // Modal to its owner's windows only, like the dialogs, so the line monitor stays usable.
  if (message.parentWidget()) message.setWindowModality(Qt::WindowModal);
  if (question) {
    message.setDefaultButton(QMessageBox::No);  // Enter alone never takes the risky reply
    message.setEscapeButton(QMessageBox::No);
  }
  m_boxes.push_back({&message, box.ownerResourceId, question});
  const int chosen = message.exec();
  std::erase_if(m_boxes, [&](const COpenBox& open) { return open.box == &message; });
  ReactivateTop();
  EndFinishedLoops();
  if (!question) return EMessageReply::Ok;
  return chosen == QMessageBox::Yes ? EMessageReply::Yes : EMessageReply::No;
}

// The box closes as its No button would; its own loop ends once the handler that withdrew it returns.
void CQtHost::WithdrawQuestions(int ownerResourceId) {
  for (const COpenBox& open : m_boxes)
    if (open.question && open.ownerResourceId == ownerResourceId) open.box->done(QMessageBox::No);
}

std::optional<std::string> CQtHost::ShowFileDialog(const CFileDialog& request) {
  if (m_closingAll) return std::nullopt;
  QFileDialog dialog(TopWindow());
  if (dialog.parentWidget()) dialog.setWindowModality(Qt::WindowModal);
  const bool save = request.kind == EFileDialogKind::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(!save && request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  const QString filter = ConvertFileFilter(request.filter);
  if (!filter.isEmpty()) dialog.setNameFilters(filter.split(";;"));
  const QString kind = QString::fromStdString(request.defaultExtension);
  if (!kind.isEmpty()) dialog.setDefaultSuffix(kind);
  dialog.setDirectory(RecentFolderFor(kind));
  // An initial name with wildcards is a filter on Windows; the name filters already do that here.
  const QString initial = QString::fromStdString(request.initialName);
  if (!initial.isEmpty() && !initial.contains('*') && !initial.contains('?')) dialog.selectFile(initial);
  m_boxes.push_back({&dialog, 0, false});
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  std::erase_if(m_boxes, [&](const COpenBox& open) { return open.box == &dialog; });
  ReactivateTop();
  EndFinishedLoops();
  if (!chosen) return std::nullopt;
  const QString file = dialog.selectedFiles().constFirst();
  RememberFolderOf(kind, file);
  return QFile::encodeName(file).toStdString();
}

// --- threads and time ---

int CQtHost::StartPeriodicTimer(int periodMs, PeriodicCallback callback) {
  const int id = m_nextPeriodicId++;
  m_periodic[id] = std::make_unique<CPeriodicThread>(std::chrono::milliseconds(std::max(1, periodMs)),
                                                     std::move(callback));
  return id;
}

void CQtHost::StopPeriodicTimer(int timerId) { m_periodic.erase(timerId); }

void CQtHost::PostToGui(std::function<void()> work) {
  // Queued to an object of the host's own, so work still waiting when the host goes is dropped.
  QMetaObject::invokeMethod(
      m_context.get(),
      [this, work = std::move(work)] {
        work();
        EndFinishedLoops();
      },
      Qt::QueuedConnection);
}

std::int64_t CQtHost::NowUs() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - m_start).count();
}

// --- settings ---

std::optional<std::string> CQtHost::ReadSetting(const std::string& key) const {
  const QVariant value = UserSettings().value(QString::fromStdString(key));
  if (!value.isValid()) return std::nullopt;
  return value.toString().toStdString();
}

void CQtHost::WriteSetting(const std::string& key, const std::optional<std::string>& value) {
  if (value) UserSettings().setValue(QString::fromStdString(key), QString::fromStdString(*value));
  else UserSettings().remove(QString::fromStdString(key));
}
