// Where the settings file lies: the folder of a program path, walked character by character.
#include <gtest/gtest.h>
#include <string>

#include "common/SettingsFile.h"

namespace orlinde {
namespace {

// Shift-JIS: lead bytes 0x81-0x9F and 0xE0-0xFC.
bool ShiftJisLead(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// "表" in Shift-JIS: its second byte is the backslash.
const std::string kHyo = "\x95\x5C";

TEST(SettingsFileTest, TheFolderOfTheProgramPlusTheFileName) {
  EXPECT_EQ(FolderOf("C:\\Games\\Orlinde.scr", ShiftJisLead), "C:\\Games");
  EXPECT_EQ(FolderOf("C:\\Orlinde.scr", ShiftJisLead), "C:");
  EXPECT_EQ(FolderOf("Orlinde.scr", ShiftJisLead), "");
  EXPECT_EQ(FolderOf("C:\\x\\" + kHyo + ".scr", ShiftJisLead), "C:\\x");
  EXPECT_EQ(FolderOf("C:\\x\\" + kHyo + "\\Orlinde.scr", ShiftJisLead), "C:\\x\\" + kHyo);
  EXPECT_EQ(FolderOf("C:\\x\\" + kHyo + ".scr", NoLeadBytes), "C:\\x\\\x95");
  // A lead byte as the very last byte stands alone.
  EXPECT_EQ(FolderOf("C:\\x\\\x95", ShiftJisLead), "C:\\x");
  EXPECT_EQ(SettingsPath("C:\\Games"), "C:\\Games\\Orlinde.ini");
}

}  // namespace
}  // namespace orlinde
