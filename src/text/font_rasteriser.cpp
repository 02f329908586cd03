// Text rendering for the native programs with fontconfig and FreeType. Like the platform's font
// mapper it never fails for want of the face: it takes the closest installed font, and
// makes up the weight and the slant when that font lacks them.
#include "text/font_rasteriser.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <optional>
#include <cmath>
#include <string>
#include <vector>

namespace wrigglet::text {

struct FontMatch {
    std::string File;
    int Index = 0;
    int Weight = 0;
    int Slant = 0;
};

struct FontRasteriser::State {
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    std::string File;
    bool SyntheticBold = false;
    FT_Pos BoldStrength = 0;  // 26.6
    int32_t Ascent = 0;       // pixels from the cell's top to the baseline
    int32_t CellHeight = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Surface;  // one byte per pixel: the red (= every) channel
    // fontconfig's answer for the last request: the imprint asks once per strip of the same
    // words, and a match takes far longer than a strip's drawing.
    std::optional<FontRequest> MatchedFor;
    std::string MatchedFaceName;  // FontRequest only views its face name
    FontMatch Matched;
};

FontRasteriser::FontRasteriser() : state_(std::make_unique<State>()) {}

FontRasteriser::~FontRasteriser() {
    EndSurface();
    if (state_->Library) FT_Done_FreeType(state_->Library);
}

const std::string& FontRasteriser::FontFile() const { return state_->File; }

namespace {

// fontconfig's best match for the face, bold italic, at the cell height.
FontMatch MatchFont(const FontRequest& font) {
    FontMatch match;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) return match;
    FcPattern* pattern = FcPatternCreate();
    const std::string face(font.FaceName);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, font.Weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, font.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, static_cast<double>(std::max(font.Height, 1)));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* found = FcFontMatch(config, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) match.File = reinterpret_cast<char*>(file);
        FcPatternGetInteger(found, FC_INDEX, 0, &match.Index);
        FcPatternGetInteger(found, FC_WEIGHT, 0, &match.Weight);
        FcPatternGetInteger(found, FC_SLANT, 0, &match.Slant);
        FcPatternDestroy(found);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return match;
}

// Sizes the face so its ascent plus descent fills the cell height and its average
// character is the requested width; slants it when the match has no italic.
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

}  // namespace

bool FontRasteriser::BeginSurface(int32_t width, int32_t height, const FontRequest& font) {
    EndSurface();
    State& s = *state_;
    s.Width = std::max(width, 0);
    s.Height = std::max(height, 0);
    s.Surface.assign(static_cast<size_t>(s.Width) * static_cast<size_t>(s.Height), 0);
    s.CellHeight = font.Height;
    if (!s.Library && FT_Init_FreeType(&s.Library) != 0) return true;  // a blank surface: no text
    if (!s.MatchedFor || !(*s.MatchedFor == font) || s.MatchedFaceName != font.FaceName) {
        s.Matched = MatchFont(font);
        s.MatchedFaceName = std::string(font.FaceName);
        s.MatchedFor = font;
        s.MatchedFor->FaceName = s.MatchedFaceName;
    }
    const FontMatch& match = s.Matched;
    if (match.File.empty() || FT_New_Face(s.Library, match.File.c_str(), match.Index, &s.Face) != 0) {
        s.Face = nullptr;
        return true;
    }
    s.File = match.File;
    SizeFace(s.Face, font, font.Italic && match.Slant == FC_SLANT_ROMAN);
    s.SyntheticBold = font.Weight >= 600 && match.Weight < FC_WEIGHT_DEMIBOLD;
    s.BoldStrength = s.SyntheticBold ? std::max<FT_Pos>(s.Face->size->metrics.y_ppem * 64 / 24, 32) : 0;
    s.Ascent = static_cast<int32_t>((s.Face->size->metrics.ascender + 32) >> 6);
    return true;
}

namespace {

// Loads one glyph as an outline, emboldened when the weight is made up, then renders it.
bool RenderGlyph(FT_Face face, char c, FT_Pos boldStrength, FT_Pos& advance) {
    if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_BITMAP) != 0) return false;
    if (boldStrength > 0 && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_Embolden(&face->glyph->outline, boldStrength);
    advance = face->glyph->advance.x + boldStrength;
    return FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
}

}  // namespace

std::optional<int32_t> FontRasteriser::MeasureWord(std::string_view word) {
    State& s = *state_;
    if (!s.Face) return std::nullopt;
    FT_Pos total = 0;
    for (char c : word) {
        if (FT_Load_Char(s.Face, static_cast<unsigned char>(c), FT_LOAD_NO_BITMAP) != 0) return std::nullopt;
        total += s.Face->glyph->advance.x + s.BoldStrength;
    }
    return static_cast<int32_t>((total + 32) >> 6);
}

void FontRasteriser::DrawWord(std::string_view word, int32_t x, int32_t y) {
    State& s = *state_;
    if (!s.Face) return;
    FT_Pos pen = static_cast<FT_Pos>(x) * 64;
    const int32_t baseline = y + s.Ascent;
    for (char c : word) {
        FT_Pos advance = 0;
        if (!RenderGlyph(s.Face, c, s.BoldStrength, advance)) continue;
        const FT_Bitmap& bitmap = s.Face->glyph->bitmap;
        const int32_t left = static_cast<int32_t>(pen >> 6) + s.Face->glyph->bitmap_left;
        const int32_t top = baseline - s.Face->glyph->bitmap_top;
        for (int32_t row = 0; row < static_cast<int32_t>(bitmap.rows); ++row) {
            const int32_t py = top + row;
            if (py < 0 || py >= s.Height) continue;
            const uint8_t* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            uint8_t* target = s.Surface.data() + static_cast<size_t>(py) * static_cast<size_t>(s.Width);
            const int32_t first = std::max(0, -left);
            const int32_t last = std::min(static_cast<int32_t>(bitmap.width), s.Width - left);
            for (int32_t col = first; col < last; ++col) target[left + col] = std::max(target[left + col], source[col]);
        }
        pen += advance;
    }
}

TextMask FontRasteriser::ReadMask() { return {state_->Surface.data(), 1, state_->Width}; }

void FontRasteriser::EndSurface() {
    State& s = *state_;
    if (s.Face) FT_Done_Face(s.Face);
    s.Face = nullptr;
}

}  // namespace wrigglet::text
