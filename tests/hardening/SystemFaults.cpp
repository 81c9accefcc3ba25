#include "SystemFaults.h"

#include <QFile>

#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace hardening {
namespace {

bool g_privateNamespace = false;

bool GetCaps(__user_cap_header_struct& header, __user_cap_data_struct (&data)[2]) {
    header = {_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

} // namespace

bool EnterPrivateMountNamespace() {
    if (!IsRoot() || ::unshare(CLONE_NEWNS) != 0) {
        return false;
    }
    // Without this, mounts made here would still propagate to the shared parent tree.
    g_privateNamespace = ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return g_privateNamespace;
}

bool InPrivateMountNamespace() {
    return g_privateNamespace;
}

TmpfsMount::TmpfsMount(const QString& path, qint64 bytes) : m_path(QFile::encodeName(path)) {
    if (!g_privateNamespace) {
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    m_ok = ::mount("tmpfs", m_path.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                   options.constData()) == 0;
}

TmpfsMount::~TmpfsMount() {
    if (m_ok) {
        ::umount2(m_path.constData(), MNT_DETACH);
    }
}

bool TmpfsMount::makeReadOnly() {
    return m_ok && ::mount(nullptr, m_path.constData(), nullptr,
                           MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

BindMount::BindMount(const QString& from, const QString& onto) : m_onto(QFile::encodeName(onto)) {
    m_ok = g_privateNamespace && ::mount(QFile::encodeName(from).constData(), m_onto.constData(),
                                         nullptr, MS_BIND, nullptr) == 0;
}

BindMount::~BindMount() {
    if (m_ok) {
        ::umount2(m_onto.constData(), MNT_DETACH);
    }
}

PermissionsApplyToRoot::PermissionsApplyToRoot() {
    if (!IsRoot()) {
        m_ok = true;
        return;
    }
    __user_cap_header_struct header{};
    __user_cap_data_struct data[2]{};
    if (!GetCaps(header, data)) {
        return;
    }
    m_effective[0] = data[0].effective;
    m_effective[1] = data[1].effective;
    data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    m_dropped = ::syscall(SYS_capset, &header, data) == 0;
    m_ok = m_dropped;
}

PermissionsApplyToRoot::~PermissionsApplyToRoot() {
    if (!m_dropped) {
        return;
    }
    __user_cap_header_struct header{};
    __user_cap_data_struct data[2]{};
    if (GetCaps(header, data)) {
        data[0].effective = m_effective[0];
        data[1].effective = m_effective[1];
        ::syscall(SYS_capset, &header, data);
    }
}

} // namespace hardening
