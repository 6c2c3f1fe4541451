// The built-in interface that keeps frames in memory instead of sending them.
#pragma once
#include "link/DmxOutput.h"
#include "link/LineConstants.h"

#include <optional>

class CVirtualOutput final : public CDmxOutput {
 public:
  // Answers both models, as the USB interface would.
  CVirtualOutput() = default;
  // Answers only `model` (to exercise a caller's second try).
  explicit CVirtualOutput(int model) : m_onlyModel(model) {}

  bool Answers(int id, int model) override;
  void Send(const CDmxFrame& frame) override;
  std::string Name() const override;

 private:
  std::optional<int> m_onlyModel;
};
