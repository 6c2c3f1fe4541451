// The interface that is not there: nothing answers, frames go nowhere.
#pragma once
#include "link/DmxOutput.h"

class CNoOutput final : public CDmxOutput {
 public:
  bool Answers(int id, int model) override;
  void Send(const CDmxFrame& frame) override;
  std::string Name() const override;
};
