// PNG pictures read a row at a time and scaled as they are read: only a row of the picture
// and the scaled results are ever in memory, so a picture may be of any size.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/stop_request.h"
#include "image/picture_sampling.h"

namespace wrigglet::image {

// Opens `path` for reading when it is a regular file. Anything else (a FIFO, a directory, a
// device) is refused before it is opened, so nothing waits on it. Answers the file, or null
// with an error line in `error`.
FILE* OpenRegularFile(const std::string& path, std::string& error);

// Reads the header only: `path` is a regular file holding a PNG. Returns an error line, or
// an empty string.
std::string CheckPng(const std::string& path);

// The grids to sample a picture of this size with, one for each picture wanted.
using GridsForSize = std::function<std::vector<SampleGrid>(int32_t width, int32_t height)>;

// Reads the PNG at `path` (any format; what is transparent shows over black) from the top
// down and fills one picture for each grid that `grids` makes for its size. Returns an
// error line, or an empty string; a stop request, seen row by row, leaves no pictures.
std::string SamplePng(const std::string& path, const GridsForSize& grids, std::vector<PixelPicture>& pictures,
                      const StopRequest& stop = {});

}  // namespace wrigglet::image
