// Ways for a test to make the system misbehave on purpose: a private mount namespace in which
// the test mounts small or read-only file systems, lowered privileges for root, a file size
// limit, and a watchdog that turns a hang into a clear failure.
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

// Binds the file `path` onto itself: a mount point can neither be renamed over nor removed, so
// even a faulty save cannot replace it. Used to protect device nodes such as /dev/zero.
class PinnedFile {
public:
    explicit PinnedFile(const char* path);
    ~PinnedFile();
    PinnedFile(const PinnedFile&) = delete;
    PinnedFile& operator=(const PinnedFile&) = delete;
    bool ok() const { return m_ok; }

private:
    QByteArray m_path;
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

// Marks the file `path` immutable (chattr +i) for the object's lifetime: nothing can replace,
// rename or remove it, not even root. ok() is false where the file system or the privileges
// do not allow it.
class ImmutableFile {
public:
    explicit ImmutableFile(const QString& path);
    ~ImmutableFile();
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool ok() const { return m_ok; }

private:
    bool setFlag(bool on);
    QByteArray m_path;
    bool m_ok = false;
};

using testsupport::IsRoot;
using testsupport::Watchdog;

} // namespace hardening
