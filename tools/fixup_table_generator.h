// Makes the text of engine/fixups.h from engine/fixups.txt, the correction pairs in readable UTF-8.
#pragma once

#include <string>

// Empty when ICU lacks the GBK converter or the source is malformed (a line that is not two characters or
// two two-character words that GBK holds, or a section missing); `error` then says which line.
std::string GenerateFixupHeader(const std::string& source, std::string& error);
