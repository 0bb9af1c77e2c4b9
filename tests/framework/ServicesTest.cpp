// Message boxes, the command line, files and window texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

TEST(MessageBox, BoxesWithoutIconGetTheExclamationWhenTheirButtonsAreOkOkCancelYesNoOrYesNoCancel) {
  struct Row {
    UINT given;
    UINT shown;
  };
  const Row rows[] = {
      // no icon named, buttons that take the exclamation
      {MB_OK, MB_OK | MB_ICONEXCLAMATION},
      {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
      {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
      {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
      {MB_YESNO | MB_DEFBUTTON2, MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION},
      // no icon named, other buttons
      {MB_RETRYCANCEL, MB_RETRYCANCEL},
      {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
      // an icon named
      {MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONINFORMATION},
      {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION},
      {MB_OK | MB_ICONSTOP, MB_OK | MB_ICONSTOP},
  };
  for (const Row& row : rows) {
    MessageBoxRecorder recorder(IDNO);
    EXPECT_EQ(IDNO, AfxMessageBox("text", row.given));
    ASSERT_EQ(1u, recorder.boxes.size());
    EXPECT_EQ(row.shown, recorder.boxes[0].type) << "given " << std::hex << row.given;
    EXPECT_EQ("text", recorder.boxes[0].text);
  }
}

TEST(MessageBox, TheTitleIsTheExecutablesNameWithoutItsExtension) {
  EXPECT_STREQ("framework_tests", AfxGetAppName());
  EXPECT_STREQ("framework_tests", AfxGetApp()->m_pszAppName);
  const std::string help = AfxGetApp()->m_pszHelpFilePath;
  EXPECT_EQ("framework_tests.HLP", help.substr(help.find_last_of('\\') + 1));
}

TEST(MessageBox, TheRealBoxIsOwnedByTheMainWindowAndCaptionedWithTheTitle) {
  HWND hMain = ::CreateWindowExA(0, "STATIC", "main", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  CWnd main;
  main.Attach(hMain);
  AfxGetApp()->m_pMainWnd = &main;

  struct Seen {
    HWND hOwner = nullptr;
    char caption[64] = {};
  } seen;
  static Seen* s_pSeen;
  s_pSeen = &seen;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND hBox = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM p) {
          char cls[16] = {};
          ::GetClassNameA(h, cls, sizeof cls);
          if (std::string(cls) != "#32770" || !::IsWindowVisible(h)) return TRUE;
          *reinterpret_cast<HWND*>(p) = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&hBox));
    if (hBox == nullptr) return;
    ::KillTimer(nullptr, id);
    s_pSeen->hOwner = ::GetWindow(hBox, GW_OWNER);
    ::GetWindowTextA(hBox, s_pSeen->caption, sizeof s_pSeen->caption);
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(IDOK, AfxMessageBox("owned"));
  ::KillTimer(nullptr, timer);
  AfxGetApp()->m_pMainWnd = nullptr;
  main.DestroyWindow();

  EXPECT_EQ(hMain, seen.hOwner);
  EXPECT_STREQ("framework_tests", seen.caption);
}

namespace {

struct CommandLineRow {
  std::vector<const char*> args;  // after the program's name
  int command;
  std::string fileName;
};

void ExpectParse(const CommandLineRow& row) {
  std::vector<const char*> argv{"lumaret.exe"};
  argv.insert(argv.end(), row.args.begin(), row.args.end());
  CCommandLineInfo info;
  CWinApp::ParseCommandLine(info, int(argv.size()), argv.data());
  std::string joined;
  for (const char* arg : row.args) joined += std::string(arg) + " ";
  EXPECT_EQ(row.command, info.m_nShellCommand) << joined;
  EXPECT_EQ(row.fileName, info.m_strFileName) << joined;
}

}  // namespace

TEST(CommandLine, SwitchesAndFileNames) {
  using C = CCommandLineInfo;
  const CommandLineRow rows[] = {
      // plain arguments: the first is the file
      {{}, C::FileNew, ""},
      {{"a.cue"}, C::FileOpen, "a.cue"},
      {{"a.cue", "b.cue"}, C::FileOpen, "a.cue"},
      {{"C:\\My Music\\a b.cue"}, C::FileOpen, "C:\\My Music\\a b.cue"},
      {{"音乐.cue"}, C::FileOpen, "音乐.cue"},
      // switches that suppress the file, with either switch character, before or after it
      {{"/p", "a.cue"}, C::FilePrint, "a.cue"},
      {{"-p", "a.cue"}, C::FilePrint, "a.cue"},
      {{"a.cue", "/p"}, C::FilePrint, "a.cue"},
      {{"/pt", "a.cue", "printer", "driver", "port"}, C::FilePrintTo, "a.cue"},
      {{"/dde"}, C::FileDDE, ""},
      {{"/Unregister", "a.cue"}, C::AppUnregister, "a.cue"},
      {{"-UNREGSERVER", "a.cue"}, C::AppUnregister, "a.cue"},
      {{"/unregserver"}, C::AppUnregister, ""},
      // exact switches in another case, unknown switches and the OLE switches leave the file open
      {{"/P", "a.cue"}, C::FileOpen, "a.cue"},
      {{"/PT", "a.cue"}, C::FileOpen, "a.cue"},
      {{"/DDE", "a.cue"}, C::FileOpen, "a.cue"},
      {{"/x", "a.cue"}, C::FileOpen, "a.cue"},
      {{"/", "a.cue"}, C::FileOpen, "a.cue"},
      {{"/embedding", "a.cue"}, C::FileOpen, "a.cue"},
      {{"-Automation", "a.cue"}, C::FileOpen, "a.cue"},
  };
  for (const CommandLineRow& row : rows) ExpectParse(row);
}

TEST(CommandLine, TheProcessCommandLineIsSplitByThePlatformsRules) {
  struct Row {
    const wchar_t* commandLine;
    int command;
    std::string fileName;
  };
  const Row rows[] = {
      {L"lumaret.exe", CCommandLineInfo::FileNew, ""},
      {L"\"C:\\Program Files\\lumaret.exe\" \"C:\\My Music\\a b.cue\" second.cue", CCommandLineInfo::FileOpen,
       "C:\\My Music\\a b.cue"},
      {L"lumaret.exe C:\\\u97f3\u4e50\\\u4e13\u8f91.cue", CCommandLineInfo::FileOpen, "C:\\音乐\\专辑.cue"},
      {L"lumaret.exe /p \"a b.cue\"", CCommandLineInfo::FilePrint, "a b.cue"},
  };
  for (const Row& row : rows) {
    CCommandLineInfo info;
    CWinApp::ParseCommandLine(info, row.commandLine);
    EXPECT_EQ(row.command, info.m_nShellCommand);
    EXPECT_EQ(row.fileName, info.m_strFileName);
  }
}

TEST(File, ReadingSharesWithReadersOnlyAndWritingTruncatesWithoutSharing) {
  ScratchFile scratch("数据.cue", "old contents that are longer");
  const char* path = scratch.Path().c_str();

  CFile reader;
  ASSERT_TRUE(reader.Open(path, CFile::modeRead | CFile::shareDenyWrite));
  EXPECT_EQ(28u, reader.GetLength());
  CFile secondReader;
  EXPECT_TRUE(secondReader.Open(path, CFile::modeRead | CFile::shareDenyWrite));
  secondReader.Close();
  CFile blockedWriter;
  CFileException error;
  EXPECT_FALSE(blockedWriter.Open(path, CFile::modeCreate | CFile::modeWrite, &error));
  EXPECT_EQ(CFileException::sharingViolation, error.m_cause);

  char buffer[40];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(28u, reader.Read(buffer, sizeof buffer));
  EXPECT_EQ("old contents that are longer####", std::string(buffer, 32));
  EXPECT_EQ(0u, reader.Read(buffer, sizeof buffer));
  reader.Close();

  CFile writer;
  ASSERT_TRUE(writer.Open(path, CFile::modeCreate | CFile::modeWrite));
  CFile blockedReader;
  EXPECT_FALSE(blockedReader.Open(path, CFile::modeRead | CFile::shareDenyWrite));
  writer.Write("\xb9\xfe\r\nnew", 7);
  writer.Close();

  ASSERT_TRUE(reader.Open(path, CFile::modeRead | CFile::shareDenyWrite));
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(7u, reader.Read(buffer, sizeof buffer));
  EXPECT_EQ(std::string("\xb9\xfe\r\nnew##", 9), std::string(buffer, 9));
  reader.Close();

  // A read-only file is not opened for writing, and stays as it was.
  ::SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
  CFileException readOnlyError;
  EXPECT_FALSE(writer.Open(path, CFile::modeCreate | CFile::modeWrite, &readOnlyError));
  EXPECT_EQ(CFileException::accessDenied, readOnlyError.m_cause);
  ASSERT_TRUE(reader.Open(path, CFile::modeRead | CFile::shareDenyWrite));
  EXPECT_EQ(7u, reader.GetLength());
}

TEST(File, SetLengthCutsOrExtendsAndLeavesThePositionAtTheEnd) {
  ScratchFile scratch("len.cue", "0123456789");
  CFile file;
  ASSERT_TRUE(file.Open(scratch.Path().c_str(), CFile::modeReadWrite | CFile::shareExclusive));
  file.SetLength(4);
  EXPECT_EQ(4u, file.GetLength());
  file.Write("ab", 2);
  file.Seek(0);
  char buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  EXPECT_EQ(6u, file.Read(buffer, sizeof buffer));
  EXPECT_EQ("0123ab##", std::string(buffer, 8));
}

TEST(File, AFailedOpenAnswersFalseAndAnErrorOnAnOpenFileThrowsNamingTheFile) {
  ScratchFile scratch("a.cue", "abc");
  const std::string missing = scratch.Folder() + "\\missing.cue";
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(missing.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error));
  EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
  EXPECT_EQ("找不到文件“" + missing + "”。", error.GetErrorMessage());

  ASSERT_TRUE(file.Open(scratch.Path().c_str(), CFile::modeRead | CFile::shareDenyWrite));
  try {
    file.Write("x", 1);
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(CFileException::accessDenied, e.m_cause);
    EXPECT_EQ(scratch.Path(), e.m_strFileName);
  }
}

TEST(WindowText, ARichEditBoxGivesItsWholeDoubleByteTextThoughItCountsCharacters) {
  char system[MAX_PATH];
  ::GetSystemDirectoryA(system, MAX_PATH);
  ASSERT_NE(nullptr, ::LoadLibraryA((std::string(system) + "\\RICHED32.DLL").c_str()));
  HWND hBox = ::CreateWindowExA(0, "RICHEDIT", "", WS_POPUP | ES_MULTILINE, 0, 0, 300, 200, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, hBox);

  // 1,000 bytes: 100 double-byte characters and 800 single bytes.
  std::string text;
  for (int i = 0; i < 100; ++i)
    text +=
        "\xd2\xf4"
        "abcdefgh";
  ::SetWindowTextA(hBox, text.c_str());

  std::string read = "sentinel";
  CWnd::FromHandle(hBox)->GetWindowText(read);
  EXPECT_EQ(text.size(), read.size());
  EXPECT_EQ(text, read);

  ::SetWindowTextA(hBox, "");
  CWnd::FromHandle(hBox)->GetWindowText(read);
  EXPECT_EQ("", read);
  ::DestroyWindow(hBox);
}

TEST(ToolTip, HoldsItsToolsAndGoesWithItsObject) {
  HWND hOwner = ::CreateWindowExA(0, "STATIC", "tool", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
  HWND hTip = nullptr;
  {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(CWnd::FromHandle(hOwner)));
    hTip = tip.m_hWnd;
    const CRect rect(0, 0, 100, 50);
    EXPECT_TRUE(tip.AddTool(CWnd::FromHandle(hOwner), "关于Lumaret", &rect, 1));
    EXPECT_EQ(1, tip.GetToolCount());
    tip.UpdateTipText("new", CWnd::FromHandle(hOwner), 1);

    char text[32] = {};
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = hOwner;
    ti.uId = 1;
    ti.lpszText = text;
    ::SendMessageA(hTip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ("new", text);
  }
  EXPECT_FALSE(::IsWindow(hTip));
  ::DestroyWindow(hOwner);
}
