// The font the page draws the words with: DejaVu Sans Bold Oblique cut down to the letters
// of the three words, built into the module (words_font.cpp is made by the build).
#pragma once

#include <cstddef>

namespace wrigglet::web {

extern const unsigned char WordsFont[];
extern const size_t WordsFontSize;

}  // namespace wrigglet::web
