// The built-in font opened for each surface, as the native programs open theirs.
#include "web/page_font_text.h"

#include "web/words_font.h"

namespace wrigglet::web {

PageFontText::~PageFontText() {
    EndSurface();
    if (library_) FT_Done_FreeType(library_);
}

// The built-in face is bold and oblique, as the words ask: nothing is made up.
bool PageFontText::BeginSurface(int32_t width, int32_t height, const FontRequest& font) {
    EndSurface();
    if (library_ || FT_Init_FreeType(&library_) == 0)
        if (FT_New_Memory_Face(library_, WordsFont, static_cast<FT_Long>(WordsFontSize), 0, &face_) != 0)
            face_ = nullptr;
    words_.Begin(face_, width, height, font, {});
    return true;
}

void PageFontText::EndSurface() {
    words_.End();
    if (face_) FT_Done_Face(face_);
    face_ = nullptr;
}

}  // namespace wrigglet::web
