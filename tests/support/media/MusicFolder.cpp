#include "support/media/MusicFolder.h"

#include "support/media/TestMedia.h"

#include <filesystem>
#include <system_error>

namespace testmedia {

MusicFolder::MusicFolder(const std::vector<std::string>& tracks, int seconds) {
    std::error_code ec;
    if (!m_work.ok()) {
        m_error = "no working folder";
    } else if (!std::filesystem::create_directory("Music", ec)) {
        m_error = "no Music folder: " + ec.message();
    }
    for (const std::string& name : tracks) {
        if (m_error.empty() && !MakeMp3("Music/" + name, seconds, Encoding::Cbr, m_error) &&
            m_error.empty())
            m_error = "cannot make " + name;
    }
}

} // namespace testmedia
