// draw_images OUTPUT_DIR: draws the seventeen icon images and writes each as an 8-bit RGBA PNG
// under OUTPUT_DIR (group1/, group2/, group3/, file names from image_table.h).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "resources/tools/image_table.h"
#include "resources/tools/pictures.h"
#include "resources/tools/png_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_images OUTPUT_DIR\n");
        return 2;
    }
    try {
        std::filesystem::path root = argv[1];
        for (const IconImageSpec& spec : kIconImages) {
            std::filesystem::path file = root / spec.file;
            std::filesystem::create_directories(file.parent_path());
            WriteWholeFile(file.string(), EncodePng(DrawIconImage(spec)));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "draw_images: %s\n", e.what());
        return 1;
    }
    return 0;
}
