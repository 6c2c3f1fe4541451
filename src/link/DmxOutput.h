// Where the line's frames go: the interface behind the library calls.
#pragma once
#include "base/Error.h"
#include "link/DmxFrame.h"

#include <chrono>
#include <expected>
#include <functional>
#include <string>

class CDmxOutput {
 public:
  CDmxOutput() = default;
  CDmxOutput(const CDmxOutput&) = delete;
  CDmxOutput& operator=(const CDmxOutput&) = delete;
  virtual ~CDmxOutput() = default;

  // Whether the interface answers to this identifier pair (DmxLinkOpen).
  virtual bool Answers(int id, int model) = 0;
  // Whether frames of this mode can be sent; a reason a user can read if not.
  virtual std::expected<void, CError> AcceptsMode(const CDmxMode& mode) { (void)mode; return {}; }
  // Takes one frame; never waits for the wire. Called with the line's lock held.
  virtual void Send(const CDmxFrame& frame) = 0;
  // The line stopped sending: stand-by, or a mode it refused. Called with the line's lock held;
  // must not block. Outputs with a stream to end (sACN) end it here.
  virtual void StandBy() {}
  // Waits until every frame already sent has reached the wire, at most `limit`.
  virtual void Flush(std::chrono::milliseconds limit) { (void)limit; }
  // Reports a fault of the interface (unplugged, failed) at most once per output. The handler is
  // called on the output's writer thread (at once on the caller's thread if the fault came before
  // the handler was set) and must not block: post the message to the GUI thread. After a fault
  // the output sends nothing more and Flush returns at once. Outputs that cannot fail ignore it.
  virtual void SetFaultHandler(std::function<void(const CError&)> handler) { (void)handler; }
  // A short name for the line monitor and messages ("virtual", "opendmx:/dev/ttyUSB0").
  virtual std::string Name() const = 0;
};
