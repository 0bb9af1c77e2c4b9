#include "MessageBoxRecorder.h"

MessageBoxRecorder::MessageBoxRecorder(int defaultAnswer) : m_defaultAnswer(defaultAnswer) {
  m_previous = AfxSetMessageBoxHandler(Record, this);
}

MessageBoxRecorder::~MessageBoxRecorder() { AfxSetMessageBoxHandler(m_previous, nullptr); }

int MessageBoxRecorder::Record(const char* text, UINT type, void* context) {
  auto* self = static_cast<MessageBoxRecorder*>(context);
  self->boxes.push_back({text, type});
  if (self->answers.empty()) return self->m_defaultAnswer;
  const int answer = self->answers.front();
  self->answers.erase(self->answers.begin());
  return answer;
}

void PumpMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}
