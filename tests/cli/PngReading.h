// Reading back the PNG files the commands write, as the overview's pictures are held.
#pragma once

#include "mapedit/MapOverview.h"

#include <gtest/gtest.h>
#include <png.h>
#include <string>

namespace lw::test {

inline RgbImage ReadPng(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    RgbImage image;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        ADD_FAILURE() << path << ": " << png.message;
        return image;
    }
    png.format = PNG_FORMAT_RGB;
    image.Width = static_cast<int>(png.width);
    image.Height = static_cast<int>(png.height);
    image.Bytes.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.Bytes.data(), 0, nullptr))
        ADD_FAILURE() << path << ": " << png.message;
    return image;
}

} // namespace lw::test
