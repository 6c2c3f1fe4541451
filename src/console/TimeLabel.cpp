// The time label format of the chase panel.
#include "console/TimeLabel.h"

#include <cstdio>

std::string FormatTenths(std::uint32_t tenths) {
  char text[32];
  std::snprintf(text, sizeof text, "%u'%u.%u\"", tenths / 600, tenths % 600 / 10, tenths % 10);
  return text;
}
