// The application object: makes the rich-edit class available, then runs the main dialog once.
#pragma once

#include "framework/Afx.h"

// Loads the rich-edit library from the system folder, so that no copy elsewhere on the search path (the
// program's own folder included) is taken instead. Non-zero when the library is loaded.
BOOL LoadSystemRichEdit();

class CTranscodeApp : public CWinApp {
 public:
  CTranscodeApp() = default;
  ~CTranscodeApp() override = default;

  BOOL InitInstance() override;

 protected:
  DECLARE_MESSAGE_MAP()
};
