// Runs a test in another working folder and returns to the previous one afterwards: a fresh
// temporary folder (removed with all in it, names that are not UTF-8 included), or an existing
// folder named by its raw bytes, which need not be UTF-8 either.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <filesystem>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace testsupport {

class ScopedWorkingDir {
public:
    ScopedWorkingDir() : m_temporary(std::in_place) {
        m_temporary->setAutoRemove(false); // Qt's removal skips names that are not UTF-8
        if (m_temporary->isValid())
            enter(QFile::encodeName(m_temporary->path()));
    }
    explicit ScopedWorkingDir(const QByteArray& raw) { enter(raw); }
    ~ScopedWorkingDir() {
        if (m_previous >= 0) {
            if (::fchdir(m_previous) != 0)
                qWarning("could not return to the previous working folder");
            ::close(m_previous);
        }
        if (m_temporary && m_temporary->isValid()) {
            std::error_code ignored;
            std::filesystem::remove_all(QFile::encodeName(m_temporary->path()).toStdString(),
                                        ignored);
        }
    }
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

    // Whether the test runs in the folder.
    bool ok() const { return m_ok; }
    QString path() const { return QFile::decodeName(m_path); }
    QString file(const QString& name) const { return path() + '/' + name; }

private:
    void enter(const QByteArray& raw) {
        m_path = raw;
        m_previous = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        m_ok = m_previous >= 0 && ::chdir(raw.constData()) == 0;
    }

    std::optional<QTemporaryDir> m_temporary;
    QByteArray m_path;
    int m_previous = -1;
    bool m_ok = false;
};

} // namespace testsupport
