// The info icon's tool tip: "关于" (About) followed directly by the main window's title.
#pragma once

#include <cstddef>
#include <string>

// The title is read with an 80-byte limit, terminator included.
inline constexpr std::size_t kAboutTitleLimit = 80;

// "关于" and at most 79 bytes of the title, cut before a character that would not fit whole, so that no lone
// lead byte ends the tip.
std::string AboutTipText(const std::string& title);
