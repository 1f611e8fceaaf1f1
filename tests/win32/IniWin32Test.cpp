// The settings file through GetPrivateProfileStringA / WritePrivateProfileStringA and CreateFileA, run with
// the ANSI code page 932: key names are stored as Shift-JIS bytes, values and paths pass byte for byte.
#include <windows.h>

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "common/CodePageWin32.h"
#include "common/DisplaySetting.h"
#include "common/SettingsFileWin32.h"
#include "host/dialog/SettingsDialogSave.h"
#include "host/settings/Settings.h"
#include "host/settings/SettingsWin32.h"

namespace orlinde {
namespace {

const std::string kKindKeySjis = "BGM\x8B\xE6\x95\xAA";        // BGM区分
const std::string kRepeatKeySjis = "BGM\xD8\xCB\xDF\xB0\xC4";  // BGMﾘﾋﾟｰﾄ
const std::string kFileKeySjis = "BGM\xCC\xA7\xB2\xD9";        // BGMﾌｧｲﾙ
const std::string kHyo = "\x95\x5C";                           // 表: second byte is "\"

bool RunningOnWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string RawBytes(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

void CreateEmptyFile(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  CloseHandle(file);
}

class IniFile : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 932u) << "these tests need the Japanese ANSI code page";
    char temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    folder = std::string(temp) + "orlinde-ini-" + std::to_string(GetCurrentProcessId()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder.c_str(), nullptr);
    path = SettingsPath(folder);
    file = std::make_unique<ProfileIniFile>(path);
  }
  void TearDown() override {
    for (const std::string& f : created) DeleteFileA(f.c_str());
    for (const std::string& d : folders) RemoveDirectoryA(d.c_str());
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
  }
  std::string File(const std::string& name) {
    const std::string full = folder + "\\" + name;
    CreateEmptyFile(full);
    created.push_back(full);
    return full;
  }
  std::string Folder(const std::string& name) {
    const std::string full = folder + "\\" + name;
    CreateDirectoryA(full.c_str(), nullptr);
    folders.insert(folders.begin(), full);
    return full;
  }

  std::string folder;
  std::string path;
  std::vector<std::string> created;
  std::vector<std::string> folders;
  std::unique_ptr<ProfileIniFile> file;
  Win32FileProbe probe;
};

TEST_F(IniFile, KeyNamesAreConvertedToShiftJis) {
  EXPECT_EQ(Utf8ToAnsi(ini::kKindKey), kKindKeySjis);
  EXPECT_EQ(Utf8ToAnsi(ini::kRepeatKey), kRepeatKeySjis);
  EXPECT_EQ(Utf8ToAnsi(ini::kFileKey), kFileKeySjis);
  EXPECT_TRUE(AnsiLeadByte(0x95));
  EXPECT_FALSE(AnsiLeadByte('\\'));
}

TEST_F(IniFile, SavedFileHoldsShiftJisKeysAndValuesByteForByte) {
  const std::string music = File("a b" + kHyo + ".mp3");  // blanks and a Shift-JIS name
  EXPECT_TRUE(SaveSettings(BgmSettingsRecord{2, -3, music}, *file));

  // Wine's profile writer drops the blank in front of a value; Windows keeps it.
  const std::string sign = RunningOnWine() ? "" : " ";
  const std::string expected = "[Section]\r\n" + kKindKeySjis + "=" + sign + "2\r\n" + kRepeatKeySjis + "=-3\r\n" +
                               kFileKeySjis + "=" + music + "\r\n";
  EXPECT_EQ(RawBytes(path), expected);

  BgmSettingsRecord loaded;
  LoadSettings(loaded, *file, probe, AnsiLeadByte);
  EXPECT_EQ(loaded.BgmKind, 2);
  EXPECT_EQ(loaded.BgmRepeat, -3);
  EXPECT_EQ(loaded.BgmFile, music);
}

TEST_F(IniFile, LongValueReadsBackAs255Bytes) {
  const std::string value(300, 'v');
  EXPECT_TRUE(WriteIni(*file, ini::kSection, ini::kFileKey, value));
  EXPECT_EQ(ReadIni(*file, ini::kSection, ini::kFileKey), value.substr(0, 255));
}

TEST_F(IniFile, MissingFileOrSectionLoadsNothing) {
  BgmSettingsRecord loaded;
  LoadSettings(loaded, *file, probe, AnsiLeadByte);
  EXPECT_EQ(loaded.BgmKind, 0);
  EXPECT_EQ(loaded.BgmRepeat, 0);
  EXPECT_EQ(loaded.BgmFile, "");

  WriteIni(*file, "Other", ini::kKindKey, " 1");
  WriteIni(*file, "Other", ini::kFileKey, File("x.mp3"));
  LoadSettings(loaded, *file, probe, AnsiLeadByte);
  EXPECT_EQ(loaded.BgmKind, 0);
  EXPECT_EQ(loaded.BgmFile, "");
}

TEST_F(IniFile, FileExistsOpensFilesButNotFolders) {
  const std::string file = File("rain.wav");
  const std::string sjisFile = File(kHyo);
  const std::string sub = Folder("music");
  const std::string sjisFolder = Folder("d" + kHyo);
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(file + "\\"));
  EXPECT_TRUE(FileExists(sjisFile));  // its last byte is 0x5C but no separator
  EXPECT_FALSE(FileExists(sub));
  EXPECT_FALSE(FileExists(sub + "\\"));
  EXPECT_FALSE(FileExists(sjisFolder));
  EXPECT_FALSE(FileExists(sjisFolder + "\\"));
  EXPECT_FALSE(FileExists(folder + "\\none.wav"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists("\\"));
}

TEST_F(IniFile, WriteReportsTheSystemsResult) {
  EXPECT_TRUE(WriteIni(*file, ini::kSection, ini::kKindKey, " 1"));
  EXPECT_EQ(ReadIni(*file, ini::kSection, ini::kKindKey), "1");
  ProfileIniFile nowhere(folder + "\\no such folder\\Orlinde.ini");
  EXPECT_FALSE(WriteIni(nowhere, ini::kSection, ini::kKindKey, " 1"));
  EXPECT_FALSE(SaveSettings(BgmSettingsRecord{1, 2, ""}, nowhere));
}

void WriteRaw(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

// What the dialog's 設定 does to a file that holds more than the program's own keys: the three music keys
// and the display mode change in place, every other section, key and comment stays where it was, and a
// missing [Display] section is added at the end. The display setting then reads as the mode that was saved.
TEST_F(IniFile, SavingKeepsEveryOtherSectionAndKeyAndTheModeReadsBack) {
  const std::string sign = RunningOnWine() ? "" : " ";
  const std::string before = "; written by hand\r\n[Other]\r\nKey=value\r\n[Section]\r\n" + kKindKeySjis +
                             "= 1\r\nOwn=kept\r\n" + kRepeatKeySjis +
                             "= 5\r\n[Display]\r\nFirst=1\r\nMonitors=Span\r\n"
                             "Last=2\r\n[Tail]\r\nT=t\r\n";
  WriteRaw(path, before);
  EXPECT_EQ(ReadMonitorMode(*file), MonitorMode::kSpan);

  BgmSettingsRecord settings{0, 0, ""};
  EXPECT_TRUE(dialog::SaveChoice(settings, MonitorMode::kPrimary, "7", *file));
  const std::string after = "; written by hand\r\n[Other]\r\nKey=value\r\n[Section]\r\n" + kKindKeySjis + "=" + sign +
                            "0\r\nOwn=kept\r\n" + kRepeatKeySjis + "=" + sign + "7\r\n" + kFileKeySjis +
                            "=\r\n[Display]\r\nFirst=1\r\nMonitors=primary\r\nLast=2\r\n[Tail]\r\nT=t\r\n";
  EXPECT_EQ(RawBytes(path), after);
  EXPECT_EQ(ReadMonitorMode(*file), MonitorMode::kPrimary);

  // A file with the music keys alone gets its [Display] section after them.
  DeleteFileA(path.c_str());
  EXPECT_TRUE(dialog::SaveChoice(settings, MonitorMode::kSpan, "", *file));
  EXPECT_EQ(RawBytes(path), "[Section]\r\n" + kKindKeySjis + "=" + sign + "0\r\n" + kRepeatKeySjis + "=" + sign +
                                "0\r\n" + kFileKeySjis + "=\r\n[Display]\r\nMonitors=span\r\n");

  // No file, or a read-only place: the default mode, and a failed save is reported.
  DeleteFileA(path.c_str());
  EXPECT_EQ(ReadMonitorMode(*file), MonitorMode::kEach);
  ProfileIniFile nowhere(folder + "\\no such folder\\Orlinde.ini");
  EXPECT_FALSE(dialog::SaveChoice(settings, MonitorMode::kSpan, "", nowhere));
}

// Both programs find the setting in "Orlinde.ini" beside the running program.
TEST(DisplaySettingBesideProgram, ReadsTheFileInTheProgramsFolder) {
  const std::string beside = SettingsPath();
  ASSERT_FALSE(beside.empty());
  ASSERT_EQ(GetFileAttributesA(beside.c_str()), INVALID_FILE_ATTRIBUTES) << "no settings file beside the tests";
  EXPECT_EQ(ReadMonitorModeBesideProgram(), MonitorMode::kEach);
  WriteRaw(beside, "[Display]\r\nMonitors= primary \r\n");
  const MonitorMode primary = ReadMonitorModeBesideProgram();
  WriteRaw(beside, "[Display]\r\nMonitors=sideways\r\n");
  const MonitorMode unknown = ReadMonitorModeBesideProgram();
  DeleteFileA(beside.c_str());
  EXPECT_EQ(primary, MonitorMode::kPrimary);
  EXPECT_EQ(unknown, MonitorMode::kEach);
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  char module[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::string full(module, length);
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(full.substr(0, folder.size() + 1), folder + "\\");
  EXPECT_EQ(full.find('\\', folder.size() + 1), std::string::npos);
  EXPECT_EQ(SettingsPath(), folder + "\\Orlinde.ini");
}

}  // namespace
}  // namespace orlinde
