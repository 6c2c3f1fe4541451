// The missing interface, for the start-up path where no device is found.
#include "outputs/NoOutput.h"

bool CNoOutput::Answers(int id, int model) {
  (void)id;
  (void)model;
  return false;
}

void CNoOutput::Send(const CDmxFrame& frame) { (void)frame; }

std::string CNoOutput::Name() const { return "none"; }
