// The scroll stepping rule shared by the dialogs' scroll bars.
#include "framework/ScrollStep.h"

#include "framework/Messages.h"

#include <algorithm>

namespace {
constexpr int kPageStep = 10;
}  // namespace

std::optional<int> StepScrollBar(int code, int pos, int trackPos, int top) {
  switch (code) {
    case SB_LINELEFT:
      if (pos <= 0) return std::nullopt;
      return pos - 1;
    case SB_LINERIGHT:
      if (pos >= top) return std::nullopt;
      return pos + 1;
    case SB_PAGELEFT:
      if (pos <= 0) return std::nullopt;
      return std::max(pos - kPageStep, 0);
    case SB_PAGERIGHT:
      if (pos >= top) return std::nullopt;
      return std::min(pos + kPageStep, top);
    case SB_THUMBTRACK:
      return std::clamp(trackPos, 0, top);
    default:
      return std::nullopt;
  }
}
