// What a save must keep of a file: its owner, group, mode (type and permission bits) and links.
#pragma once

#include <QList>

#include <sys/stat.h>

namespace testsupport {

inline QList<qint64> Identity(const struct stat& st) {
    return {qint64(st.st_uid), qint64(st.st_gid), qint64(st.st_mode), qint64(st.st_nlink)};
}

} // namespace testsupport
