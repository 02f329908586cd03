// The native programs' text rasteriser, shared by the simulator and the X11 hack: fontconfig
// picks the best match for the requested face, weight and slant, FreeType renders it
// antialiased into an 8-bit white-on-black surface.
#pragma once

#include <memory>
#include <string>

#include "core/text_imprint.h"

namespace wrigglet::text {

class FontRasteriser final : public TextRasteriser {
public:
    FontRasteriser();
    ~FontRasteriser() override;

    bool BeginSurface(int32_t width, int32_t height, const FontRequest& font) override;
    std::optional<int32_t> MeasureWord(std::string_view word) override;
    void DrawWord(std::string_view word, int32_t x, int32_t y) override;
    TextMask ReadMask() override;
    void EndSurface() override;

    // The font file that the last BeginSurface chose (empty when none could be loaded).
    const std::string& FontFile() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace wrigglet::text
