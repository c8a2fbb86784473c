// pack_icons PNG_ROOT OUTPUT_DIR: packs the seventeen PNG images under PNG_ROOT (file names from
// image_table.h) into the three icon files group1.ico, group2.ico and group3.ico in OUTPUT_DIR.
// PNG entries carry the PNG file unchanged; bitmap entries are made from its pixels.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>

#include "platform/user/icon_file.h"
#include "resources/tools/icon_writer.h"
#include "resources/tools/image_table.h"
#include "resources/tools/png_file.h"

namespace {

RgbaImage ToRgba(const IconPixels& pixels) {
    RgbaImage image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.rgba = pixels.bgra;
    for (size_t i = 0; i < image.rgba.size(); i += 4) std::swap(image.rgba[i], image.rgba[i + 2]);
    return image;
}

IconGroupImage LoadImage(const std::filesystem::path& root, const IconImageSpec& spec) {
    std::string path = (root / spec.file).string();
    std::vector<uint8_t> png = ReadWholeFile(path);
    IconPixels pixels;
    if (!DecodePngImage(png.data(), png.size(), &pixels)) {
        throw std::runtime_error(path + " is not a readable PNG");
    }
    if (pixels.width != spec.size || pixels.height != spec.size) {
        throw std::runtime_error(path + " does not have the size of its table entry");
    }
    IconGroupImage image;
    image.pixels = ToRgba(pixels);
    if (spec.storedAsPng) image.png = std::move(png);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pack_icons PNG_ROOT OUTPUT_DIR\n");
        return 2;
    }
    try {
        std::filesystem::path root = argv[1], output = argv[2];
        std::filesystem::create_directories(output);
        for (int group = 1; group <= kIconGroupCount; ++group) {
            std::vector<IconGroupImage> images;
            for (const IconImageSpec& spec : kIconImages) {
                if (spec.group == group) images.push_back(LoadImage(root, spec));
            }
            WriteWholeFile((output / kIconGroupFiles[group - 1]).string(), EncodeIconFile(images));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pack_icons: %s\n", e.what());
        return 1;
    }
    return 0;
}
