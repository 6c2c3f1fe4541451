// A DMX USB Pro-style widget on the far end of a serial port, as its maker's API (version 1.44)
// describes it: what it accepts, what it answers, and what it puts on its DMX wire.
#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// Messages are 0x7E, label, data length LSB and MSB (at most 600), data, 0xE7; anything else is
// thrown away. Label 6 ("output only send DMX") takes 25 to 513 bytes (start code and 24 to 512
// slots) and makes the widget send that packet every 25 ms (its output rate, 40 a second) until
// any request other than label 6 or 3 arrives. Label 3 asks for its parameters.
class CProWidgetModel {
 public:
  using Clock = std::chrono::steady_clock;
  using Bytes = std::vector<std::uint8_t>;
  struct CPacket { Clock::time_point time; Bytes data; };

  // Takes what came from the computer at `now`; returns the widget's replies.
  Bytes Receive(const Bytes& bytes, Clock::time_point now) {
    m_in.insert(m_in.end(), bytes.begin(), bytes.end());
    Bytes replies;
    while (m_in.size() >= 5) {
      const std::size_t length = m_in[2] | m_in[3] << 8;
      if (m_in[0] != 0x7E || length > 600 || (m_in.size() >= length + 5 && m_in[4 + length] != 0xE7)) {
        ++rejected;  // no message starts here
        m_in.erase(m_in.begin());
        continue;
      }
      if (m_in.size() < length + 5) break;
      const Bytes data(m_in.begin() + 4, m_in.begin() + static_cast<long>(4 + length));
      const std::uint8_t label = m_in[1];
      m_in.erase(m_in.begin(), m_in.begin() + static_cast<long>(length + 5));
      Wire(now);
      labels.push_back(label);
      if (label == 6 && (data.size() < 25 || data.size() > 513)) ++rejected;
      if (label == 6 && data.size() >= 25 && data.size() <= 513) {
        if (!m_sending) m_next = now;
        m_sending = data;
      } else if (label == 3) {  // firmware 1.44, break 9 and mark 1 (x 10.67 us), 40 packets a second
        replies.insert(replies.end(), {0x7E, 3, 5, 0, 44, 1, 9, 1, 40, 0xE7});
      } else if (label != 6) {
        m_sending.reset();  // the periodic output stops; the port turns to input
      }
    }
    return replies;
  }

  // Every packet (start code and slots) the widget has put on its DMX wire up to `now`.
  const std::vector<CPacket>& Wire(Clock::time_point now) {
    for (; m_sending && m_next <= now; m_next += std::chrono::milliseconds(25)) m_wire.push_back({m_next, *m_sending});
    return m_wire;
  }

  std::vector<int> labels;  // the label of each message taken
  int rejected = 0;                // bytes and messages thrown away

 private:
  Bytes m_in;
  std::optional<Bytes> m_sending;
  Clock::time_point m_next;
  std::vector<CPacket> m_wire;
};
