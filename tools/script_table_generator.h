// Makes the text of engine/script_table.cpp from the installed ICU.
#pragma once

#include <string>

// Empty when ICU lacks the GBK converter or a transliterator.
std::string GenerateScriptTable();
