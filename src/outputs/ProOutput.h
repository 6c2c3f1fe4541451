// A DMX USB Pro-style widget: frames go to it in label-6 messages; it makes the DMX timing itself.
#pragma once
#include "link/LineConstants.h"
#include "outputs/ProMessage.h"
#include "outputs/SerialOutput.h"

#include <cstdint>
#include <optional>

// What tells the members of the Pro family apart: the interface name's prefix and the label of the
// message that carries DMX (a widget with two outputs takes the second in another label).
struct CProFamily {
  std::string_view kind = "pro";
  std::uint8_t sendLabel = CProMessage::kLabelSendDmx;
};

// The widget puts the last frame it was given on the wire again and again at its own output rate,
// until it gets a request of another kind. The writer hands frames over no faster than the widget
// sends them, so every start reaches the line; stand-by and closing end the repetition.
class CProOutput final : public CSerialOutput {
 public:
  // The widget talks over a USB FIFO and ignores the speed; serial-chip clones expect this one.
  static constexpr CTtySettings kSettings{115200, 1};
  // A send-DMX message holds the start code and at most 512 slots.
  static constexpr int kMaxWidgetSlots = kUniverseSlots;
  // ... and at least 24 slots: widgets drop shorter ones, so frames are padded with zero slots.
  static constexpr std::size_t kMinSendData = 25;
  // How long a widget may take to answer a request.
  static constexpr std::chrono::milliseconds kAnswerLimit{200};

  // Sets up an open device for the widget's messages and asks the widget for its output rate.
  static std::expected<std::unique_ptr<CDmxOutput>, CError> Create(std::unique_ptr<CTtyPort> port,
                                                                   CProFamily family = {});
  // Sets the port up and asks for the serial number: whether a Pro widget answers on it.
  static bool Probe(CTtyPort& port, std::chrono::milliseconds limit);
  // Asks for the widget's serial number on a port already set up with kSettings; the number if
  // a reply comes within `limit`. A device that does not answer is no Pro widget.
  static std::optional<std::uint32_t> ProbeSerialNumber(CTtyPort& port, std::chrono::milliseconds limit);

  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override;

 private:
  CProOutput(std::unique_ptr<CTtyPort> port, CProFamily family, std::unique_ptr<CSerialFraming> framing);
};
