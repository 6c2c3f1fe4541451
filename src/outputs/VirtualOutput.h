// The built-in interface that keeps frames in memory instead of sending them.
#pragma once
#include "link/DmxOutput.h"

#include <optional>

// The identifier pair the virtual interface answers to (as the USB interface would).
inline constexpr int kVirtualInterfaceId = 0x8888;
inline constexpr int kVirtualModelA = 0x0101;
inline constexpr int kVirtualModelB = 0x0102;

class CVirtualOutput final : public CDmxOutput {
 public:
  // Answers both models.
  CVirtualOutput() = default;
  // Answers only `model` (to exercise a caller's second try).
  explicit CVirtualOutput(int model) : m_onlyModel(model) {}

  bool Answers(int id, int model) override;
  void Send(const CDmxFrame& frame) override;
  std::string Name() const override;

 private:
  std::optional<int> m_onlyModel;
};
