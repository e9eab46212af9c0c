#include "MessageBox.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>

#include "TestSupport.h"

using namespace testing_support;

namespace {

TEST(MessageBoxTest, HeadlessProviderWritesBoxesAndGivesItsAnswer) {
  std::ostringstream out;
  HeadlessMessageBoxProvider headless(kIdYes, out);
  ScopedMessageBoxProvider scoped(headless);
  ShowErrorBox("Cannot create folder!!!", "BitmapImageClass::SaveToFile()");
  EXPECT_EQ(AskYesNo("Overwrite all existing data?", "Score Folder"), kIdYes);
  headless.SetAnswer(kIdNo);
  EXPECT_EQ(AskYesNo("Again?", "Q"), kIdNo);
  EXPECT_EQ(out.str(),
            "BitmapImageClass::SaveToFile(): Cannot create folder!!!\n"
            "Score Folder: Overwrite all existing data? -> Yes\n"
            "Q: Again? -> No\n");
}

TEST(MessageBoxTest, ScriptedAnswersAndRestoredProvider) {
  MessageBoxProvider* before = &CurrentMessageBoxProvider();
  {
    RecordingMessageBoxProvider boxes;
    ScopedMessageBoxProvider scoped(boxes);
    boxes.ScriptAnswers({kIdYes, kIdNo});
    EXPECT_EQ(AskYesNo("first", "c1"), 6);
    EXPECT_EQ(AskYesNo("second", "c2"), 7);
    EXPECT_EQ(AskYesNo("unscripted", "c3"), 7);
    errno = EACCES;
    ShowLastErrorBox("Save");
    ASSERT_EQ(boxes.Boxes().size(), 4u);
    EXPECT_EQ(boxes.Boxes()[3].kind, RecordingMessageBoxProvider::Box::kError);
    EXPECT_EQ(boxes.Boxes()[3].text, "Permission denied");
    EXPECT_EQ(boxes.Boxes()[3].caption, "Save");
  }
  EXPECT_EQ(&CurrentMessageBoxProvider(), before);
}

TEST(MessageBoxTest, AnswersOtherThanYesCountAsNo) {
  struct Odd : MessageBoxProvider {
    void ShowError(const std::string&, const std::string&) override {}
    int AskYesNo(const std::string&, const std::string&) override { return 2; }
  } odd;
  ScopedMessageBoxProvider scoped(odd);
  EXPECT_EQ(AskYesNo("?", "?"), kIdNo);
}

}  // namespace
