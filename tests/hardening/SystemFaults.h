// Ways for a test to make the system misbehave on purpose: a private mount namespace in which
// the test mounts small or read-only file systems and binds files, lowered privileges for root,
// a file size limit, and a watchdog that turns a hang into a clear failure.
#pragma once

#include "support/FileSizeLimit.h"
#include "support/Users.h"
#include "support/Watchdog.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <sys/resource.h>

namespace hardening {

using testsupport::FileSizeLimit;

// Moves the process into a mount namespace of its own whose mounts do not propagate back, so
// that tests may mount and unmount freely; everything they mount vanishes with the process.
// Must run before any thread starts (unshare fails in a threaded process). Works as root only;
// returns false (and tests needing it skip) elsewhere.
bool EnterPrivateMountNamespace();
bool InPrivateMountNamespace();

// A tmpfs of `bytes` bytes mounted on the existing folder `path` for the object's lifetime
// (lazily unmounted). ok() is false when mounting is not possible here.
class TmpfsMount {
public:
    TmpfsMount(const QString& path, qint64 bytes);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    bool ok() const { return m_ok; }
    // Makes the file system read-only (remount); false on failure.
    bool makeReadOnly();

private:
    QByteArray m_path;
    bool m_ok = false;
};

// Binds the file `from` onto the existing file `onto` for the object's lifetime, as a container
// volume is mounted. ok() is false when mounting is not possible here.
class BindMount {
public:
    BindMount(const QString& from, const QString& onto);
    ~BindMount();
    BindMount(const BindMount&) = delete;
    BindMount& operator=(const BindMount&) = delete;
    bool ok() const { return m_ok; }

private:
    QByteArray m_onto;
    bool m_ok = false;
};

// Makes root obey file permissions in the calling thread (drops CAP_DAC_OVERRIDE and
// CAP_DAC_READ_SEARCH from its effective set) and restores them on destruction. For a user
// other than root there is nothing to drop and ok() is simply true.
class PermissionsApplyToRoot {
public:
    PermissionsApplyToRoot();
    ~PermissionsApplyToRoot();
    PermissionsApplyToRoot(const PermissionsApplyToRoot&) = delete;
    PermissionsApplyToRoot& operator=(const PermissionsApplyToRoot&) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
    bool m_dropped = false;
    unsigned m_effective[2] = {0, 0};
};

using testsupport::IsRoot;
using testsupport::Watchdog;

} // namespace hardening
