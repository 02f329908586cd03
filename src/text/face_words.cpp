// FreeType's side of the words: sizing, measuring and drawing with one face.
#include "text/face_words.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>

namespace wrigglet::text {

namespace {

// Sizes the face so its ascent plus descent fills the cell height and its average
// character is the requested width; slants it when asked.
void SizeFace(FT_Face face, const FontRequest& font, bool slant) {
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = static_cast<FT_Long>(std::max(font.Height, 1)) * 64;
    FT_Request_Size(face, &request);
    double stretch = 1.0;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->xAvgCharWidth > 0 && font.Width > 0) {
        const double average = os2->xAvgCharWidth * (face->size->metrics.x_scale / 65536.0) / 64.0;
        if (average > 0) stretch = font.Width / average;
    }
    FT_Matrix matrix{static_cast<FT_Fixed>(stretch * 65536), slant ? static_cast<FT_Fixed>(0.21 * 65536) : 0, 0,
                     0x10000};
    FT_Set_Transform(face, &matrix, nullptr);
}

// Loads one glyph as an outline, emboldened when the weight is made up, then renders it.
bool RenderGlyph(FT_Face face, char c, FT_Pos boldStrength, FT_Pos& advance) {
    if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_BITMAP) != 0) return false;
    if (boldStrength > 0 && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_Embolden(&face->glyph->outline, boldStrength);
    advance = face->glyph->advance.x + boldStrength;
    return FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
}

}  // namespace

void FaceWords::Begin(FT_Face face, int32_t width, int32_t height, const FontRequest& font, Synthesis synthesis) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    surface_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    face_ = face;
    if (!face_) return;
    SizeFace(face_, font, synthesis.Slant);
    boldStrength_ = synthesis.Bold ? std::max<FT_Pos>(face_->size->metrics.y_ppem * 64 / 24, 32) : 0;
    ascent_ = static_cast<int32_t>((face_->size->metrics.ascender + 32) >> 6);
}

std::optional<int32_t> FaceWords::Measure(std::string_view word) const {
    if (!face_) return std::nullopt;
    FT_Pos total = 0;
    for (char c : word) {
        if (FT_Load_Char(face_, static_cast<unsigned char>(c), FT_LOAD_NO_BITMAP) != 0) return std::nullopt;
        total += face_->glyph->advance.x + boldStrength_;
    }
    return static_cast<int32_t>((total + 32) >> 6);
}

void FaceWords::Draw(std::string_view word, int32_t x, int32_t y) {
    if (!face_) return;
    FT_Pos pen = static_cast<FT_Pos>(x) * 64;
    const int32_t baseline = y + ascent_;
    for (char c : word) {
        FT_Pos advance = 0;
        if (!RenderGlyph(face_, c, boldStrength_, advance)) continue;
        const FT_Bitmap& bitmap = face_->glyph->bitmap;
        const int32_t left = static_cast<int32_t>(pen >> 6) + face_->glyph->bitmap_left;
        const int32_t top = baseline - face_->glyph->bitmap_top;
        for (int32_t row = 0; row < static_cast<int32_t>(bitmap.rows); ++row) {
            const int32_t py = top + row;
            if (py < 0 || py >= height_) continue;
            const uint8_t* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            uint8_t* target = surface_.data() + static_cast<size_t>(py) * static_cast<size_t>(width_);
            const int32_t first = std::max(0, -left);
            const int32_t last = std::min(static_cast<int32_t>(bitmap.width), width_ - left);
            for (int32_t col = first; col < last; ++col) target[left + col] = std::max(target[left + col], source[col]);
        }
        pen += advance;
    }
}

}  // namespace wrigglet::text
