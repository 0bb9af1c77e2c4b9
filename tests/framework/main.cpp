// The framework's test program. Its application object counts the help commands that reach it.
#include <gtest/gtest.h>

#include "TestSupport.h"

int g_nHelpCommands = 0;

namespace {

class CTestApp : public CWinApp {
 public:
  void OnTestHelp() { ++g_nHelpCommands; }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
  ON_COMMAND(ID_HELP, OnTestHelp)
END_MESSAGE_MAP()

CTestApp theApp;

}  // namespace

int main(int argc, char** argv) {
  theApp.SetInstance(::GetModuleHandleA(nullptr), ::GetCommandLineA(), SW_SHOWNORMAL);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
