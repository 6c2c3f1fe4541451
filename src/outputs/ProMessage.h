// Messages of a DMX USB Pro-style widget: 0x7E, label, length LSB, length MSB, data, 0xE7.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct CProMessage {
  static constexpr std::uint8_t kStart = 0x7E;
  static constexpr std::uint8_t kEnd = 0xE7;
  // Labels this program uses.
  static constexpr std::uint8_t kLabelGetParameters = 3;     // request (2 bytes) and reply (5 or more)
  static constexpr std::uint8_t kLabelSendDmx = 6;           // start code followed by the slots
  static constexpr std::uint8_t kLabelReceiveOnChange = 8;   // 1 byte; ends sending, the port listens
  static constexpr std::uint8_t kLabelSerialNumber = 10;     // request (no data) and reply (4 bytes)

  std::uint8_t label = 0;
  std::vector<std::uint8_t> data;

  // The bytes of one message.
  static std::vector<std::uint8_t> Encode(std::uint8_t label, std::span<const std::uint8_t> data);
  // Takes the first whole message out of `received`, dropping bytes before it that cannot start
  // one; nothing while the message is still incomplete (its bytes stay for the next call).
  static std::optional<CProMessage> Take(std::vector<std::uint8_t>& received);
};
