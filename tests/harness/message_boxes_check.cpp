// The box recorder must read what a user reads and press what a user presses.
#include "setup/message_box.h"
#include "tests/harness/message_boxes.h"

#include <gtest/gtest.h>

TEST(BoxRecorder, ReadsWideBoxAndAnswersInOrder) {
  box_recorder recorder({IDNO, IDYES});
  EXPECT_EQ(IDNO, show_message(L"第一个问题？", L"智能映舟安装", MB_YESNO));
  EXPECT_EQ(IDYES, show_message(L"第二个问题？", L"智能映舟安装", MB_YESNO));
  ASSERT_EQ(2u, recorder.boxes().size());
  EXPECT_EQ(L"第一个问题？", recorder.boxes()[0].text);
  EXPECT_EQ(L"智能映舟安装", recorder.boxes()[0].caption);
  EXPECT_TRUE(recorder.boxes()[0].has_yes);
  EXPECT_TRUE(recorder.boxes()[0].has_no);
  EXPECT_FALSE(recorder.boxes()[0].has_ok);
}

TEST(BoxRecorder, ReadsGbkBoxUnderCodePage936) {
  box_recorder recorder;
  EXPECT_EQ(IDOK, show_message("没有成功解压复制a.txt文件！", "智能映舟安装", MB_OK));
  ASSERT_EQ(1u, recorder.boxes().size());
  EXPECT_EQ(L"没有成功解压复制a.txt文件！", recorder.boxes()[0].text);
  EXPECT_EQ(L"智能映舟安装", recorder.boxes()[0].caption);
  EXPECT_TRUE(recorder.boxes()[0].has_ok);
  EXPECT_FALSE(recorder.boxes()[0].has_no);
}
