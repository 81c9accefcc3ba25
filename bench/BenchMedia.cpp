#include "bench/BenchMedia.h"

#include "support/media/TestMedia.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace bench {

bool EnsureMp3(const std::string& path, int seconds, double frequency, std::string& error) {
    if (fs::exists(path))
        return true;
    fs::create_directories(fs::path(path).parent_path());
    return testmedia::MakeMp3(path, seconds, testmedia::Encoding::Cbr, error, frequency);
}

bool EnsureTracks(const std::string& dataDir, std::array<std::string, 3>& paths,
                  std::string& error) {
    const double frequencies[] = {220.0, 440.0, 880.0};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        paths[i] = dataDir + "/tracks/tone" + std::to_string(i) + "-30s.mp3";
        if (!EnsureMp3(paths[i], 30, frequencies[i], error))
            return false;
    }
    return true;
}

std::array<int, 3> RealTrackIndices(std::size_t count) {
    const int last = static_cast<int>(count) - 1;
    return {0, last / 2, last};
}

std::string EnsureMusicFolder(const std::string& dataDir, std::size_t count,
                              const std::array<std::string, 3>& tracks, std::string& error,
                              const std::string& name) {
    std::string root = dataDir + "/";
    if (name.empty())
        root += 'n' + std::to_string(count);
    else
        root += name;
    const fs::path music = fs::path(root) / "Music";
    std::error_code ec;
    fs::create_directories(music, ec);
    if (ec) {
        error = "cannot make " + music.string() + ": " + ec.message();
        return {};
    }
    const std::array<int, 3> real = RealTrackIndices(count);
    for (std::size_t i = 0; i < count; ++i) {
        char fileName[32];
        std::snprintf(fileName, sizeof fileName, "%05zu.mp3", i);
        const fs::path file = music / fileName;
        if (fs::exists(file))
            continue;
        int track = -1;
        for (int k = 0; k < 3; ++k) {
            if (real[static_cast<std::size_t>(k)] == static_cast<int>(i))
                track = k;
        }
        if (track >= 0) {
            fs::create_hard_link(tracks[static_cast<std::size_t>(track)], file, ec);
        } else {
            std::ofstream(file.string()).flush();
        }
        if (ec) {
            error = "cannot make " + file.string() + ": " + ec.message();
            return {};
        }
    }
    return root;
}

} // namespace bench
