// Every dialog as the Qt host draws it, at scale 1 and 1.5: texts in the dialog's font, clear of other controls.
#include "app/DialogCatalog.h"
#include "qt/DialogWindow.h"

#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

namespace {

QString Describe(const QWidget* widget) {
  const auto* label = qobject_cast<const QLabel*>(widget);
  const QRect r = widget->geometry();
  return QString("%1 \"%2\" at %3,%4 %5x%6")
      .arg(widget->metaObject()->className(), label ? label->text() : QString())
      .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// What is wrong with the texts of one dialog's window, one line each.
QStringList TextProblems(const CDialogWindow& window) {
  QStringList problems;
  const auto controls = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (const QLabel* label : window.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (label->text().isEmpty()) continue;  // pictures
    if (label->font() != window.font()) problems << Describe(label) + " is squeezed";
    if (label->wordWrap() && label->heightForWidth(label->width()) > label->height())
      problems << Describe(label) + " is cut off";
    for (const QWidget* other : controls)
      if (other != label && !qobject_cast<const QGroupBox*>(other) && other->geometry().intersects(label->geometry()))
        problems << Describe(label) + " overlaps " + Describe(other);
  }
  return problems;
}

}  // namespace

TEST(DialogLayout, TextsKeepTheDialogFontAndOverlapNoOtherControl) {
  // The catalogue names every dialog class in the sources, so none escapes this check.
  std::set<std::string> declared, catalogued;
  const std::regex dialogClass(R"(class (C\w+) final : public CDialog\b)");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(VEXMIRA_SOURCE_DIR "/src")) {
    std::ifstream in(entry.path());
    for (std::string line; entry.path().extension() == ".h" && std::getline(in, line);)
      if (std::smatch match; std::regex_search(line, match, dialogClass)) declared.insert(match[1]);
  }
  for (const CDialogEntry& entry : ProgramDialogs()) catalogued.insert(std::string(entry.className));
  EXPECT_EQ(declared, catalogued);

  for (const double scale : {1.0, 1.5}) {
    for (const CDialogEntry& entry : ProgramDialogs()) {
      const CDialogTemplate* layout = &entry.layout();
      CDialog dialog(*layout);
      dialog.CreateControls();
      {
        const CDialogWindow window(dialog, {}, nullptr, scale);
        for (const QString& problem : TextProblems(window))
          ADD_FAILURE() << "dialog " << layout->resourceId << " at scale " << scale << ": " << problem.toStdString();
      }
      dialog.DestroyControls();
    }
  }
}
