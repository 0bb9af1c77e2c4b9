// Stands in for the user at every message box while it lives: keeps each box's text and type, and answers
// with the next scripted answer, or with the default answer once none is left.
#pragma once

#include <string>
#include <vector>

#include "framework/Afx.h"

class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int defaultAnswer = IDOK);
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  struct Box {
    std::string text;
    UINT type;
  };
  std::vector<Box> boxes;
  std::vector<int> answers;

 private:
  static int Record(const char* text, UINT type, void* context);
  int m_defaultAnswer;
  AfxMessageBoxHandler m_previous;
};

// Handles every message waiting for this thread, posted ones included.
void PumpMessages();
