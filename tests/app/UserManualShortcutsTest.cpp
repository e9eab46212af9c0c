// Every key the window answers to is in the manual's keyboard table.
#include <gtest/gtest.h>

#include <QAction>
#include <QKeySequence>
#include <QStringList>

#include "MainWindow.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

// "Ctrl+Alt+O" as the manual writes it: <kbd>Ctrl</kbd>+<kbd>Alt</kbd>+<kbd>O</kbd>.
std::string AsManualKeys(const QKeySequence& keys) {
  std::string text;
  for (const QString& key : keys.toString(QKeySequence::PortableText).split('+')) {
    if (!text.empty()) text += "+";
    text += "<kbd>" + key.toStdString() + "</kbd>";
  }
  return text;
}

TEST(UserManualShortcutsTest, ManualNamesEveryShortcutOfTheWindow) {
  TempDir home;
  ScopedEnv env("STRANDEX_HOME", home.Path().c_str());
  const std::string manual = ReadFile(STRANDEX_MANUAL);
  const std::size_t from = manual.find("<h3 id=\"keys\">");
  ASSERT_NE(from, std::string::npos);
  const std::string keysTable = manual.substr(from, manual.find("</table>", from) - from);
  TMainApplicationForm window({});
  int shortcuts = 0;
  for (QAction* action : window.findChildren<QAction*>()) {
    for (const QKeySequence& keys : action->shortcuts()) {
      ++shortcuts;
      EXPECT_NE(keysTable.find(AsManualKeys(keys)), std::string::npos)
          << action->objectName().toStdString() << " " << AsManualKeys(keys);
    }
  }
  EXPECT_GE(shortcuts, 8);  // Open File, Open Folder, Save, Export BMP, Preferences, F1, Esc, TEST
}

TEST(UserManualShortcutsTest, KeysAreWrittenKeyByKey) {
  EXPECT_EQ(AsManualKeys(QKeySequence("Ctrl+Alt+O")), "<kbd>Ctrl</kbd>+<kbd>Alt</kbd>+<kbd>O</kbd>");
  EXPECT_EQ(AsManualKeys(QKeySequence(Qt::Key_Escape)), "<kbd>Esc</kbd>");
  EXPECT_EQ(AsManualKeys(QKeySequence(Qt::Key_F1)), "<kbd>F1</kbd>");
}

}  // namespace
