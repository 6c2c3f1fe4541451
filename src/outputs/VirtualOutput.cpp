// The in-memory interface: answers the virtual identifier pair and counts frames.
#include "outputs/VirtualOutput.h"

#include <cstdio>

bool CVirtualOutput::Answers(int id, int model) {
  if (id != kVirtualInterfaceId) {
    return false;
  }
  if (m_onlyModel) {
    return model == *m_onlyModel;
  }
  return model == kVirtualModelA || model == kVirtualModelB;
}

void CVirtualOutput::Send(const CDmxFrame& frame) {
  (void)frame;  // the line keeps the history; nothing goes further
}

std::string CVirtualOutput::Name() const {
  if (!m_onlyModel) {
    return "virtual";
  }
  char name[32];
  std::snprintf(name, sizeof name, "virtual:0x%04X", static_cast<unsigned>(*m_onlyModel));
  return name;
}
