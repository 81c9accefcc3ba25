// A fresh working folder with a Music folder holding the named tracks, each `seconds` of tone as
// a CBR MP3 made at run time (no names: an empty Music folder). The test runs in the working
// folder while the object lives.
#pragma once

#include "support/ScopedWorkingDir.h"

#include <QString>

#include <string>
#include <vector>

namespace testmedia {

class MusicFolder {
public:
    explicit MusicFolder(const std::vector<std::string>& tracks = {}, int seconds = 1);
    MusicFolder(const MusicFolder&) = delete;
    MusicFolder& operator=(const MusicFolder&) = delete;

    // Whether all of it was made, and what went wrong if not.
    bool ok() const { return m_error.empty(); }
    const char* error() const { return m_error.c_str(); }
    // The working folder and a file in it.
    QString path() const { return m_work.path(); }
    QString file(const QString& name) const { return m_work.file(name); }

private:
    testsupport::ScopedWorkingDir m_work;
    std::string m_error;
};

} // namespace testmedia
