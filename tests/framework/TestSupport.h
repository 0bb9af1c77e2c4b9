// What the framework tests share besides the common test support: scratch files.
#pragma once

#include <string>
#include <vector>

#include "MessageBoxRecorder.h"
#include "framework/Afx.h"

// A file in a scratch folder of its own, removed with the object.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& name, const std::string& content = "");
  ~ScratchFile();
  const std::string& Path() const { return m_path; }
  const std::string& Folder() const { return m_folder; }

 private:
  std::string m_folder;
  std::string m_path;
};

// The state the framework's help handler is checked against (see main.cpp).
extern int g_nHelpCommands;
