// Recent folders in the user's settings, one entry per kind of file.
#include "qt/RecentFolders.h"

#include "qt/UserSettings.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString Key(const QString& kind) { return "RecentFolders/" + (kind.isEmpty() ? QStringLiteral("other") : kind); }

}  // namespace

QString RecentFolderFor(const QString& kind) {
  const QString folder = UserSettings().value(Key(kind)).toString();
  return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void RememberFolderOf(const QString& kind, const QString& chosenFile) {
  UserSettings().setValue(Key(kind), QFileInfo(chosenFile).absolutePath());
}
