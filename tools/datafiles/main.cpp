// make-datafiles: writes the picture data files of the program into a folder.
//   make-datafiles pictures DIR   F000.dat, F001.dat .. F005.dat and tlo.dat

#include "airway_picture.h"
#include "background_picture.h"
#include "data/jpeg_encoder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

using namespace vm::data;

namespace fs = std::filesystem;

namespace {

constexpr int kJpegQuality = 92;

bool writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make-datafiles: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// An airway picture is stored with its first 100 bytes reversed; tlo.dat is a plain JPEG.
bool writePicture(const fs::path& path, const DecodedPicture& picture, bool reversed) {
    EncodedJpeg jpeg = encodeJpeg(picture, kJpegQuality);
    if (!jpeg.ok) {
        std::fprintf(stderr, "make-datafiles: %s: %s\n", path.c_str(), jpeg.message.c_str());
        return false;
    }
    if (reversed)
        reverseFirst100Bytes(jpeg.bytes);
    return writeFile(path, std::string_view(reinterpret_cast<const char*>(jpeg.bytes.data()),
                                            jpeg.bytes.size()));
}

bool writePictures(const fs::path& dir) {
    if (!writeFile(dir / "F000.dat", parameterTableText(airwayHotspots())))
        return false;
    for (int region = 1; region <= 5; ++region) {
        const fs::path name = dir / ("F00" + std::to_string(region) + ".dat");
        if (!writePicture(name, drawAirwayPicture(region), true))
            return false;
    }
    return writePicture(dir / "tlo.dat", drawBackgroundPicture(), false);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-datafiles pictures DIR\n");
        return 2;
    }
    const std::string_view what = argv[1];
    const fs::path dir = argv[2];
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (what == "pictures")
        return writePictures(dir) ? 0 : 1;
    std::fprintf(stderr, "make-datafiles: unknown kind %s\n", argv[1]);
    return 2;
}
