// The frames a script's expectations look at; the program supplies them (the DMX line).
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

struct CObservedFrame {
  int startCode = 0;
  std::vector<std::uint8_t> slots;
};

class CFrameSource {
 public:
  virtual ~CFrameSource() = default;
  virtual std::uint64_t FrameCount() const = 0;
  virtual std::optional<CObservedFrame> LastFrame() const = 0;
};
