// Loading and saving Config.cfg against whatever a file system holds at its name: one table of
// what loading meets, one of what saving meets, and saves killed at random moments. Rows marked
// "(root)" need root; those that mount need root in a private mount namespace too.
#include "SystemFaults.h"
#include "settings/ConfigFile.h"
#include "support/ConfigFileBytes.h"
#include "support/ScopedWorkingDir.h"
#include "support/SentinelRecord.h"
#include "support/SmallFiles.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <filesystem>
#include <optional>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>

using namespace settings;
using namespace testsupport;
using hardening::BindMount;
using hardening::PermissionsApplyToRoot;
using hardening::TmpfsMount;

namespace {

const ConfigRecord kOld{40, 1, 0, 1, 0, {10, 20, 30, 40, 50}};
const ConfigRecord kNew{10, 0, 1, 1, 1, {20, 40, 60, 80, 200}};
constexpr std::chrono::seconds kHang{20};

// What may stand at Config.cfg instead of a regular file, besides a dangling link.
const QByteArrayList kNotAFile{"FIFO", "socket", "directory", "link to /dev/zero", "link loop"};

// Makes `name` what `kind` (one of kNotAFile, or "dangling link") says.
bool MakeSpecial(const QByteArray& kind, const char* name) {
    if (kind == "FIFO")
        return ::mkfifo(name, 0644) == 0;
    if (kind == "socket")
        return ::mknod(name, S_IFSOCK | 0644, 0) == 0;
    if (kind == "directory")
        return ::mkdir(name, 0755) == 0;
    if (kind == "link to /dev/zero")
        return ::symlink("/dev/zero", name) == 0;
    if (kind == "dangling link")
        return ::symlink("settings.bin", name) == 0;
    if (kind == "link loop")
        return ::symlink(name, name) == 0;
    return false;
}

// All a save must keep of the file at `path` (links followed): owner, group, mode, links, inode,
// an extended attribute and the access ACL.
QList<QByteArray> Identity(const QByteArray& path) {
    struct stat st {};
    if (::stat(path, &st) != 0)
        return {};
    QList<QByteArray> kept;
    for (qulonglong value : {qulonglong(st.st_uid), qulonglong(st.st_gid), qulonglong(st.st_mode),
                             qulonglong(st.st_nlink), qulonglong(st.st_ino)})
        kept << QByteArray::number(value);
    for (const char* name : {"user.mirt", "system.posix_acl_access"}) {
        std::array<char, 256> value{};
        const ssize_t n = ::getxattr(path, name, value.data(), value.size());
        kept << (n < 0 ? QByteArray() : QByteArray(value.data(), n));
    }
    return kept;
}

// Every name under the working folder with its type (links not followed).
QStringList Listing() {
    QStringList names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
        names << QString::fromStdString(entry.path().string()) + ':' +
                     QString::number(int(entry.symlink_status().type()));
    names.sort();
    return names;
}

// An access ACL as the kernel stores it (little-endian): version 2, then (tag, permissions, id)
// for the owner (rw), the user nobody (r), the group (r), the mask (r) and others (r).
const QByteArray kAccessAcl =
    QByteArray::fromHex("02000000 01000600ffffffff 02000400feff0000"
                        "04000400ffffffff 10000400ffffffff 20000400ffffffff");

// Fills the file system holding `folder` until not one more byte fits.
bool FillUp(const QByteArray& folder) {
    QFile filler(QFile::decodeName(folder + "/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) > 0) {
    }
    while (filler.write("x", 1) > 0) {
    }
    return filler.error() != QFileDevice::NoError;
}

// The value of a whole record as the saver writes it (the magic and ten equal bytes), or -1.
int SaverValue(const QByteArray& bytes) {
    const QByteArray values = bytes.mid(10);
    return bytes.size() == 20 && bytes.startsWith(kConfigFileMagic) &&
                   values.count(values[0]) == values.size()
               ? static_cast<unsigned char>(values[0])
               : -1;
}

} // namespace

class ConfigFileTest : public QObject {
    Q_OBJECT

    std::optional<ScopedWorkingDir> m_work;

private slots:
    void init() {
        m_work.emplace();
        QVERIFY(m_work->ok());
    }
    void cleanup() {
        // Write access back, so that the folder of a read-only row can be removed.
        ::chmod(Raw(m_work->path()), 0700);
        m_work.reset();
    }

    // loaded: the bytes the load must take, or none (null) where nothing may be read.
    void load_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("loaded");
        const QByteArray whole = ConfigFileBytes(kOld);
        QTest::newRow("regular file") << whole << whole;
        QTest::newRow("short file") << whole.left(15) << whole.left(15);
        QTest::newRow("long file") << whole + "more after the record" << whole;
        QTest::newRow("link to a regular file") << whole << whole;
        QTest::newRow("4 GiB sparse file") << whole << whole;
        QTest::newRow("unreadable file") << whole << QByteArray();
        for (const QByteArray& kind : kNotAFile + QByteArrayList{"missing", "dangling link"})
            QTest::newRow(kind.constData()) << QByteArray() << QByteArray();
    }
    void load() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, loaded);
        const QByteArray kind = QTest::currentDataTag();
        std::optional<PermissionsApplyToRoot> asUser;
        if (!file.isNull())
            QVERIFY(WriteFile(QByteArray("data.cfg"), file));
        if (kind == "4 GiB sparse file" && !GrowSparse("data.cfg", qint64(4) << 30))
            QSKIP("the temporary folder cannot hold a 4 GiB sparse file");
        if (kind == "link to a regular file")
            QVERIFY(::symlink("data.cfg", "Config.cfg") == 0);
        else if (!file.isNull())
            QVERIFY(::rename("data.cfg", "Config.cfg") == 0);
        else if (kind != "missing")
            QVERIFY(MakeSpecial(kind, "Config.cfg"));
        if (kind == "unreadable file") {
            QVERIFY(::chmod("Config.cfg", 0) == 0);
            asUser.emplace();
            if (!asUser->ok())
                QSKIP("running as root and cannot drop CAP_DAC_OVERRIDE: the file is readable");
        }
        // Opening a FIFO or a device acts on it (a writer waiting on a FIFO gets through): what
        // is not a regular file must not even be opened.
        QFile opens;
        QVERIFY(opens.open(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC), QIODevice::ReadOnly,
                           QFileDevice::AutoCloseHandle));
        ::inotify_add_watch(opens.handle(), "Config.cfg", IN_OPEN | IN_DONT_FOLLOW);

        ConfigRecord rec = Sentinel();
        bool matched = false;
        {
            const Watchdog watchdog(kHang, "loading Config.cfg");
            matched = LoadConfigFile("Config.cfg", rec);
        }
        ConfigRecord expected = Sentinel();
        const auto bytes = reinterpret_cast<const std::uint8_t*>(loaded.constData());
        QCOMPARE(matched, DecodeConfig({bytes, std::size_t(loaded.size())}, expected).magicMatched);
        QVERIFY(rec == expected);
        std::array<char, 4096> event{};
        if (loaded.isNull())
            QVERIFY2(::read(opens.handle(), event.data(), event.size()) < 0, "it was opened");
    }

    // path: what is saved; data: where its bytes live (a link's target); old: what that holds
    // before (null: nothing made by hand).
    void save_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<bool>("saves");
        const QByteArray whole = ConfigFileBytes(kOld);
        const QByteArray none;
        const auto row = [&](const char* kind, bool saves, QByteArray old, QByteArray data = {},
                             QByteArray path = "Config.cfg") {
            QTest::newRow(kind) << path << (data.isEmpty() ? path : data) << old << saves;
        };
        row("no file yet", true, none);
        row("another user's file (root)", true, whole);
        row("another user's file in a sticky folder (root)", true, whole, {}, "sticky/Config.cfg");
        row("hard link", true, whole);
        row("symbolic link", true, whole, "data/settings.bin");
        row("dangling link", true, none, "settings.bin");
        row("another user's link in a sticky folder (root)", false, whole, "sticky/real.cfg",
            "sticky/Config.cfg");
        row("ACL and attribute", true, whole);
        row("bind mount (root)", true, whole);
        row("read-only folder", true, whole);
        row("read-only folder, no file yet", false, none);
        row("read-only file", false, whole);
        row("read-only file system (root)", false, whole, {}, "disk/Config.cfg");
        row("full disk (root)", true, whole, {}, "disk/Config.cfg");
        row("full disk, no file yet (root)", false, none, {}, "disk/Config.cfg");
        row("full disk, dangling link (root)", false, none, "disk/settings.bin", "disk/Config.cfg");
        row("file size limit", false, "0123456789abcdefghijklmnopqrstuvwxyz");
        row("file size limit, short file", false, "01234");
        row("4 GiB sparse file", true, whole);
        row("21 bytes", true, whole + 'x');
        row("19 bytes", true, whole.left(19));
        row("folder not in UTF-8", true, whole, {}, "\xcf\xe0\xef\xea\xe0/Config.cfg");
        for (const QByteArray& kind : kNotAFile)
            row(kind.constData(), false, none);
    }
    void save() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, old);
        QFETCH(bool, saves);
        const QByteArray kind = QTest::currentDataTag();
        if (kind.endsWith("(root)") && !IsRoot())
            QSKIP("only root gives files to another user and mounts");
        std::optional<TmpfsMount> disk;
        std::optional<BindMount> bound;
        std::optional<PermissionsApplyToRoot> asUser;
        std::optional<FileSizeLimit> limit;
        const QByteArray folder = data.left(std::max(0, int(data.lastIndexOf('/'))));
        if (!folder.isEmpty())
            QVERIFY(::mkdir(folder, 0755) == 0);
        if (folder == "disk") {
            disk.emplace("disk", 64 << 10);
            if (!disk->ok())
                QSKIP("mounting needs root in a private mount namespace");
        }
        if (!old.isNull())
            QVERIFY(WriteFile(data, old));
        // A link names its data relative to its own folder.
        if (kNotAFile.contains(kind))
            QVERIFY(MakeSpecial(kind, path));
        else if (kind == "symbolic link" || kind.contains("dangling link"))
            QVERIFY(::symlink(data.mid(path.lastIndexOf('/') + 1), path) == 0);
        if (kind.contains("sticky"))
            QVERIFY(::chmod("sticky", 01777) == 0);
        if (kind.startsWith("another user's file"))
            QVERIFY(::chown(data, kNobody, kNogroup) == 0 && ::chmod(data, 0600) == 0);
        else if (kind == "another user's link in a sticky folder (root)") {
            QFile protection("/proc/sys/fs/protected_symlinks");
            if (!protection.open(QIODevice::ReadOnly) || protection.readAll().trimmed() != "1")
                QSKIP("fs.protected_symlinks is off here: the kernel follows any link");
            QVERIFY(::symlink("real.cfg", path) == 0 && ::lchown(path, kNobody, kNogroup) == 0);
        } else if (kind == "hard link")
            QVERIFY(::link(data, "Backup.cfg") == 0);
        else if (kind == "ACL and attribute") {
            if (::setxattr(data, "user.mirt", "kept", 4, 0) != 0 ||
                ::setxattr(data, "system.posix_acl_access", kAccessAcl.constData(),
                           kAccessAcl.size(), 0) != 0)
                QSKIP("the temporary folder's file system keeps no attributes or ACLs");
        } else if (kind == "bind mount (root)") {
            QVERIFY(WriteFile(QByteArray("volume.cfg"), old));
            bound.emplace("volume.cfg", "Config.cfg");
            if (!bound->ok())
                QSKIP("binding a file needs root in a private mount namespace");
        } else if (kind.startsWith("read-only folder"))
            QVERIFY(::chmod(".", 0555) == 0);
        else if (kind == "read-only file")
            QVERIFY(::chmod(data, 0444) == 0);
        else if (kind == "read-only file system (root)")
            QVERIFY(disk->makeReadOnly());
        else if (kind.startsWith("full disk"))
            QVERIFY(FillUp("disk"));
        else if (kind == "4 GiB sparse file" && !GrowSparse(data, qint64(4) << 30))
            QSKIP("the temporary folder cannot hold a 4 GiB sparse file");
        if (kind.startsWith("read-only")) {
            asUser.emplace();
            if (!asUser->ok())
                QSKIP("running as root and cannot drop CAP_DAC_OVERRIDE: nothing is read-only");
        }
        const QByteArray before = ReadFile(data);
        const QList<QByteArray> identity = Identity(data);
        QStringList names = Listing();

        std::string error;
        bool saved = false;
        {
            const Watchdog watchdog(kHang, "saving Config.cfg");
            if (kind.startsWith("file size limit"))
                QVERIFY(limit.emplace(10).ok());
            saved = SaveConfigFile(path, kNew, &error);
            limit.reset();
            asUser.reset();
        }
        QCOMPARE(saved, saves);
        QCOMPARE(ReadFile(data), saves ? ConfigFileBytes(kNew) : before);
        if (!saved) {
            qInfo("%s", error.c_str());
            QVERIFY(QByteArray::fromStdString(error).startsWith("Cannot save " + path + ": "));
        }
        if (!identity.isEmpty())
            QCOMPARE(Identity(data), identity);
        // Nothing appears or goes but a file the save was to create.
        if (saved && before == "<missing>") {
            names << "./" + QFile::decodeName(data) + ':' +
                         QString::number(int(std::filesystem::file_type::regular));
            names.sort();
        }
        QCOMPARE(Listing(), names);
    }

    // A process saving in a loop is killed at random moments: Config.cfg is always a whole record,
    // the one the last finished save wrote or a newer one, and never anything beside it.
    void aKilledSaveLeavesTheOldOrTheNewRecord() {
        QVERIFY(WriteFile(QByteArray("Config.cfg"), ConfigFileBytes(0, 0, 0, 0, 0)));
        const QStringList alone = Listing();
        QRandomGenerator random = QRandomGenerator::securelySeeded();
        int value = 0;
        for (int round = 0; round < 1000; ++round) {
            QProcess saver;
            saver.start(CONFIG_SAVER, {QString::number(value + 1)});
            QVERIFY2(saver.waitForReadyRead(20000), "the saver did not finish a first save");
            // The kill lands anywhere in the save loop: open, read, write, cut, sync.
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(3000)));
            saver.kill();
            QVERIFY(saver.waitForFinished(20000));
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);
            const QByteArray now = ReadFile(QByteArray("Config.cfg"));
            const int found = SaverValue(now);
            QVERIFY2(found >= 0 && found != value,
                     qPrintable(QString("round %1: %2").arg(round).arg(now.toHex(' '))));
            value = found;
            QCOMPARE(Listing(), alone);
        }
    }
};

int main(int argc, char** argv) {
    // Before any thread starts: unshare refuses a process with threads.
    if (!hardening::EnterPrivateMountNamespace())
        qInfo("no private mount namespace (root only): the rows that mount will skip");
    QCoreApplication app(argc, argv);
    ConfigFileTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ConfigFile.moc"
