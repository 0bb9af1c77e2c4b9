// What the framework tests share: recording message boxes, pumping messages, scratch files.
#pragma once

#include <string>
#include <vector>

#include "framework/Afx.h"

// Answers every message box with `answer` and keeps its text and type, while it lives.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    struct Box {
        std::string text;
        UINT type;
    };
    std::vector<Box> boxes;

private:
    int m_answer;
    static int Record(const char* text, UINT type, void* context);
};

// Handles every waiting message of this thread.
void PumpMessages();

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
