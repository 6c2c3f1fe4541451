// Framing and parsing of Pro-widget messages, byte by byte.
#include "outputs/ProMessage.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace {

// Replies this program could care about are short; anything longer is noise to skip.
constexpr std::size_t kMaxData = 600;

}  // namespace

std::vector<std::uint8_t> CProMessage::Encode(std::uint8_t label, std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(data.size() + 5);
  bytes.push_back(kStart);
  bytes.push_back(label);
  AppendLe(bytes, data.size(), 2);
  bytes.insert(bytes.end(), data.begin(), data.end());
  bytes.push_back(kEnd);
  return bytes;
}

std::optional<CProMessage> CProMessage::Take(std::vector<std::uint8_t>& received) {
  // Bytes before `keep` can never start a message; a start byte whose message is still
  // incomplete keeps itself and everything after it for the next call.
  std::size_t keep = received.size();
  for (std::size_t at = 0; at < received.size(); ++at) {
    if (received[at] != kStart) {
      continue;
    }
    if (received.size() - at < 4) {
      keep = std::min(keep, at);  // the header is not all here yet
      continue;
    }
    const std::size_t length = ReadU16Le(received, at + 2);
    if (length > kMaxData) {
      continue;  // not a real header
    }
    const std::size_t end = at + 4 + length;
    if (end >= received.size()) {
      keep = std::min(keep, at);  // the rest may still come; a whole message further on wins
      continue;
    }
    if (received[end] != kEnd) {
      continue;
    }
    CProMessage message;
    message.label = received[at + 1];
    message.data.assign(received.begin() + static_cast<std::ptrdiff_t>(at + 4),
                        received.begin() + static_cast<std::ptrdiff_t>(end));
    received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(end + 1));
    return message;
  }
  received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(keep));
  return std::nullopt;
}
