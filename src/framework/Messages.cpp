// Notification codes by name, for scripts.
#include "framework/Messages.h"

#include <cstring>

namespace {
struct CNamedCode {
  const char* name;
  int code;
};
constexpr CNamedCode kCodes[] = {
    {"BN_CLICKED", BN_CLICKED},       {"CBN_SELCHANGE", CBN_SELCHANGE},   {"EN_KILLFOCUS", EN_KILLFOCUS},
    {"EN_SETFOCUS", EN_SETFOCUS},     {"EN_CHANGE", EN_CHANGE},           {"SB_LINELEFT", SB_LINELEFT},
    {"SB_LINERIGHT", SB_LINERIGHT},   {"SB_PAGELEFT", SB_PAGELEFT},       {"SB_PAGERIGHT", SB_PAGERIGHT},
    {"SB_LINEUP", SB_LINEUP},         {"SB_LINEDOWN", SB_LINEDOWN},       {"SB_PAGEUP", SB_PAGEUP},
    {"SB_PAGEDOWN", SB_PAGEDOWN},     {"SB_THUMBPOSITION", SB_THUMBPOSITION}, {"SB_THUMBTRACK", SB_THUMBTRACK},
    {"SB_LEFT", SB_LEFT},             {"SB_TOP", SB_TOP},                 {"SB_RIGHT", SB_RIGHT},
    {"SB_BOTTOM", SB_BOTTOM},         {"SB_ENDSCROLL", SB_ENDSCROLL},     {"TB_LINEUP", TB_LINEUP},
    {"TB_LINEDOWN", TB_LINEDOWN},     {"TB_PAGEUP", TB_PAGEUP},           {"TB_PAGEDOWN", TB_PAGEDOWN},
    {"TB_THUMBPOSITION", TB_THUMBPOSITION}, {"TB_THUMBTRACK", TB_THUMBTRACK}, {"TB_TOP", TB_TOP},
    {"TB_BOTTOM", TB_BOTTOM},         {"TB_ENDTRACK", TB_ENDTRACK},
};
}  // namespace

int NotificationCodeByName(const char* name) {
  for (const auto& entry : kCodes)
    if (std::strcmp(entry.name, name) == 0) return entry.code;
  return -1;
}
