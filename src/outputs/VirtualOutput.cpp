// The in-memory interface: answers the line's identifier pairs and sends nothing.
#include "outputs/VirtualOutput.h"

#include <cstdio>

bool CVirtualOutput::Answers(int id, int model) {
  if (id != kInterfaceId) {
    return false;
  }
  if (m_onlyModel) {
    return model == *m_onlyModel;
  }
  return model == kOpenDmxModel || model == kProWidgetModel;
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
