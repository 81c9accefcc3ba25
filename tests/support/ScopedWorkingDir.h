// Runs a test in a fresh temporary working folder and returns to the previous one afterwards;
// the folder is removed with all in it, names that are not UTF-8 included.
#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace testsupport {

class ScopedWorkingDir {
public:
    ScopedWorkingDir() {
        m_temporary.setAutoRemove(false); // Qt's removal skips names that are not UTF-8
        m_previous = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        m_ok = m_temporary.isValid() && m_previous >= 0 &&
               ::chdir(QFile::encodeName(m_temporary.path()).constData()) == 0;
    }
    ~ScopedWorkingDir() {
        if (m_previous >= 0) {
            if (::fchdir(m_previous) != 0)
                qWarning("could not return to the previous working folder");
            ::close(m_previous);
        }
        std::error_code ignored;
        if (m_temporary.isValid())
            std::filesystem::remove_all(QFile::encodeName(path()).toStdString(), ignored);
    }
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

    // Whether the test runs in the folder.
    bool ok() const { return m_ok; }
    QString path() const { return m_temporary.path(); }
    QString file(const QString& name) const { return path() + '/' + name; }

private:
    QTemporaryDir m_temporary;
    int m_previous = -1;
    bool m_ok = false;
};

} // namespace testsupport
