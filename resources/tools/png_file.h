// PNG encoding for the generator and the packer (libpng), and whole-file reading and writing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/tools/raster.h"

// 8-bit RGBA PNG of the image, fully in memory. Throws std::runtime_error on a libpng failure.
std::vector<uint8_t> EncodePng(const RgbaImage& image);

// Throw std::runtime_error naming the path when the file cannot be read or written.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
