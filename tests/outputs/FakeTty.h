// Serial devices in memory for the outputs to drive: every call is recorded with the time of a
// fake clock that moves only when an output waits; writes can fail after a number of bytes; a
// device can answer a Pro widget's serial-number request, in pieces as USB packets come, or pass
// what it gets to a model of the device on its far end; it keeps RTS and an RS-485 mode.
#pragma once
#include "outputs/TtyControl.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class CFakeTty final : public CTtyControl {
 public:
  enum class EKind { Configure, BreakOn, BreakOff, Write, Drain, Close };
  // A call, with the bytes the device took (Write) or the settings asked for (Configure).
  struct CEvent { EKind kind{}; Clock::time_point time{}; Bytes bytes{}; CTtySettings settings{}; };

  // How the device at a path behaves, set before an output uses it: opening fails, writes fail once it
  // took a number of bytes, it answers a Pro widget's serial-number request with these pieces, a
  // peer takes every write and answers; a driver's break lasts at least `breakHeld` and a speed
  // change takes `configureTime`; the RS-485 mode (none: the driver has none) and RTS (raised at open).
  struct CSetup {
    std::optional<std::errc> openError;
    std::optional<std::size_t> writeBudget;
    std::deque<Bytes> answer;
    std::function<Bytes(const Bytes&, Clock::time_point)> peer;
    Clock::duration breakHeld{}, configureTime{};
    std::optional<CTtyRs485> rs485;
    bool rts = true;
  };
  CSetup& Setup(const std::string& path) {
    std::lock_guard lock(m_mutex);
    return m_devices[path];
  }
  // The outputs' waits take real time too, as on a real wire.
  void KeepRealTime() { m_realTime = true; }

  std::vector<CEvent> Events(const std::string& path, std::optional<EKind> only = {}) {
    std::lock_guard lock(m_mutex);
    std::vector<CEvent> events = m_devices[path].events;
    std::erase_if(events, [&](const CEvent& event) { return event.kind != only.value_or(event.kind); });
    return events;
  }
  Bytes Written(const std::string& path) {
    Bytes all;
    for (const CEvent& event : Events(path, EKind::Write)) all.insert(all.end(), event.bytes.begin(), event.bytes.end());
    return all;
  }

  std::expected<int, std::error_code> Open(const std::string& path) override {
    std::lock_guard lock(m_mutex);
    if (const auto error = m_devices[path].openError) return std::unexpected(std::make_error_code(*error));
    m_paths.push_back(path);
    return static_cast<int>(m_paths.size() - 1);
  }
  void Close(int fd) override { Record(fd, {EKind::Close}); }
  std::expected<void, std::error_code> Configure(int fd, const CTtySettings& settings) override {
    Change(fd, [&](CDevice& device) { m_now += device.configureTime; });
    return Record(fd, {EKind::Configure, {}, {}, settings});
  }
  std::expected<void, std::error_code> SetBreak(int fd, bool on) override {
    Change(fd, [&](CDevice& device) { if (!on && device.breakHeld > Clock::duration{}) m_now = std::max(m_now, device.events.back().time + device.breakHeld); });
    return Record(fd, {on ? EKind::BreakOn : EKind::BreakOff});
  }
  std::expected<CTtyRs485, std::error_code> GetRs485(int fd) override {
    std::lock_guard lock(m_mutex);
    if (auto rs485 = Device(fd).rs485) return *rs485;
    return std::unexpected(std::make_error_code(std::errc::inappropriate_io_control_operation));
  }
  std::expected<void, std::error_code> SetRs485(int fd, const CTtyRs485& rs485) override { return Change(fd, [&](CDevice& d) { d.rs485 = rs485; }); }
  std::expected<void, std::error_code> SetRts(int fd, bool raised) override { return Change(fd, [&](CDevice& d) { d.rts = raised; }); }
  std::expected<void, std::error_code> Drain(int fd) override { return Record(fd, {EKind::Drain}); }
  std::expected<std::size_t, std::error_code> Write(int fd, std::span<const std::uint8_t> bytes) override {
    std::lock_guard lock(m_mutex);
    CDevice& device = Device(fd);
    const Bytes taken(bytes.begin(), bytes.begin() + std::min<long>(bytes.size(), device.writeBudget.value_or(bytes.size())));
    if (taken.empty()) return std::unexpected(std::make_error_code(std::errc::io_error));
    if (device.writeBudget) *device.writeBudget -= taken.size();
    if (taken == Bytes{0x7E, 0x0A, 0x00, 0x00, 0xE7}) device.input = device.answer;
    if (Bytes answer = device.peer ? device.peer(taken, m_now) : Bytes(); !answer.empty()) device.input.push_back(answer);
    device.events.push_back({EKind::Write, m_now, taken});
    return taken.size();
  }
  // One piece a read, then nothing until the next wait.
  std::expected<std::size_t, std::error_code> Read(int fd, std::span<std::uint8_t> buffer) override {
    std::lock_guard lock(m_mutex);
    CDevice& device = Device(fd);
    if (device.input.empty() || std::exchange(device.pieceRead, true)) {
      return std::unexpected(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    const std::size_t size = std::ranges::copy(device.input.front(), buffer.begin()).out - buffer.begin();
    device.input.pop_front();
    return size;
  }
  std::expected<bool, std::error_code> Wait(int fd, EWait what, std::chrono::milliseconds limit) override {
    std::lock_guard lock(m_mutex);
    Device(fd).pieceRead = false;
    if (what == EWait::Writable || !Device(fd).input.empty()) return true;
    m_now += limit;  // nothing comes: the whole wait passes
    return false;
  }
  Clock::time_point Now() override {
    std::lock_guard lock(m_mutex);
    return m_now;
  }
  void WaitUntil(Clock::time_point deadline) override {
    if (m_realTime) std::this_thread::sleep_for(deadline - Now());
    std::lock_guard lock(m_mutex);
    m_now = std::max(m_now, deadline);
  }

 private:
  struct CDevice : CSetup {
    std::deque<Bytes> input;
    bool pieceRead = false;
    std::vector<CEvent> events;
  };

  CDevice& Device(int fd) { return m_devices[m_paths.at(static_cast<std::size_t>(fd))]; }  // m_mutex held
  std::expected<void, std::error_code> Change(int fd, const std::function<void(CDevice&)>& change) {
    std::lock_guard lock(m_mutex);
    change(Device(fd));
    return {};
  }
  std::expected<void, std::error_code> Record(int fd, CEvent event) {
    std::lock_guard lock(m_mutex);
    event.time = m_now;
    Device(fd).events.push_back(std::move(event));
    return {};
  }

  std::mutex m_mutex;
  std::map<std::string, CDevice> m_devices;
  std::vector<std::string> m_paths;  // by fd
  Clock::time_point m_now{std::chrono::hours(1)};
  bool m_realTime = false;
};
