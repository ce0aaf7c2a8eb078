// mksamples OUTPUT-FOLDER: writes the sample collection (OUTPUT-FOLDER/<Category>/<Name>.swf
// and most previews as .jpg). The committed copy lives in samples/VidudIvu.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "Preview.h"
#include "SampleCollection.h"

namespace {

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& data) {
    std::filesystem::path temporary = path;
    temporary += ".part";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + temporary.string());
    std::filesystem::rename(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mksamples OUTPUT-FOLDER   (e.g. samples/VidudIvu)\n");
        return 2;
    }
    std::filesystem::path root = argv[1];
    try {
        for (const mksamples::Sample& sample : mksamples::sampleCollection()) {
            std::filesystem::path movie = mksamples::samplePath(root, sample, ".swf");
            std::filesystem::create_directories(movie.parent_path());
            std::vector<uint8_t> bytes = sample.build().bytes(sample.compression);
            writeFile(movie, bytes);
            std::printf("%s (%zu bytes)\n", movie.string().c_str(), bytes.size());
            std::filesystem::path preview = mksamples::samplePath(root, sample, ".jpg");
            if (sample.previewFrame) {
                writeFile(preview, mksamples::previewJpeg(bytes, *sample.previewFrame));
                std::printf("%s\n", preview.string().c_str());
            } else {
                std::filesystem::remove(preview);  // a stale preview would contradict the collection
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mksamples: %s\n", e.what());
        return 1;
    }
    return 0;
}
