// Text rendering for the native programs with fontconfig and FreeType. Like the platform's font
// mapper it never fails for want of the face: it takes the closest installed font, and
// makes up the weight and the slant when that font lacks them (face_words.cpp draws).
#include "text/font_rasteriser.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <optional>
#include <string>

#include "text/face_words.h"

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
    FaceWords Words;
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

}  // namespace

bool FontRasteriser::BeginSurface(int32_t width, int32_t height, const FontRequest& font) {
    EndSurface();
    State& s = *state_;
    if (!s.Library && FT_Init_FreeType(&s.Library) != 0) {
        s.Words.Begin(nullptr, width, height, font, {});  // a blank surface: no text
        return true;
    }
    if (!s.MatchedFor || !(*s.MatchedFor == font) || s.MatchedFaceName != font.FaceName) {
        s.Matched = MatchFont(font);
        s.MatchedFaceName = std::string(font.FaceName);
        s.MatchedFor = font;
        s.MatchedFor->FaceName = s.MatchedFaceName;
    }
    const FontMatch& match = s.Matched;
    if (match.File.empty() || FT_New_Face(s.Library, match.File.c_str(), match.Index, &s.Face) != 0)
        s.Face = nullptr;
    else
        s.File = match.File;
    s.Words.Begin(s.Face, width, height, font,
                  {.Bold = font.Weight >= 600 && match.Weight < FC_WEIGHT_DEMIBOLD,
                   .Slant = font.Italic && match.Slant == FC_SLANT_ROMAN});
    return true;
}

std::optional<int32_t> FontRasteriser::MeasureWord(std::string_view word) { return state_->Words.Measure(word); }

void FontRasteriser::DrawWord(std::string_view word, int32_t x, int32_t y) { state_->Words.Draw(word, x, y); }

TextMask FontRasteriser::ReadMask() { return state_->Words.Mask(); }

void FontRasteriser::EndSurface() {
    State& s = *state_;
    s.Words.End();
    if (s.Face) FT_Done_Face(s.Face);
    s.Face = nullptr;
}

}  // namespace wrigglet::text
