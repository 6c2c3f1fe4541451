// Filter list conversion.
#include "qt/FileFilter.h"

#include <QStringList>

namespace {

// The description without a pattern list in parentheses at its end ("Chase (*.zkc)" -> "Chase").
QString Name(QString description) {
  description = description.trimmed();
  if (description.endsWith(')')) {
    const qsizetype open = description.lastIndexOf('(');
    if (open >= 0) description = description.left(open).trimmed();
  }
  return description;
}

QStringList Patterns(const QString& patterns) {
  QStringList result;
  for (QString pattern : patterns.split(';', Qt::SkipEmptyParts)) {
    pattern = pattern.trimmed();
    if (pattern == "*.*") pattern = "*";
    if (!pattern.isEmpty() && !result.contains(pattern)) result << pattern;
  }
  if (result.isEmpty()) result << "*";
  return result;
}

}  // namespace

QString ConvertFileFilter(const std::string& windowsFilter) {
  QStringList parts = QString::fromStdString(windowsFilter).split('|');
  while (!parts.isEmpty() && parts.back().isEmpty()) parts.pop_back();
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    const QString name = Name(parts[i]);
    const QString patterns = Patterns(i + 1 < parts.size() ? parts[i + 1] : QString()).join(' ');
    filters << (name.isEmpty() ? patterns : name + " (" + patterns + ")");
  }
  return filters.join(";;");
}
