// Saving Config.cfg from the settings window when the system gets in the way: read-only
// folders and file systems, a full disk, a file size limit, read-only files and links. The old
// file must stay intact or be replaced whole, and the user must see the save error whenever the
// new settings did not reach the disk. Saves as a user other than root keep the file as it was.
// Then a saver process is killed at random moments: the file must always be a whole record, and
// the next save leaves no temporary file behind.
#include "ConfigCheck.h"
#include "HardeningMain.h"
#include "media/Graph.h"
#include "res/SettingsControls.h"
#include "settings/ConfigFile.h"
#include "support/FileIdentity.h"
#include "support/ScopedWorkingDir.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <filesystem>
#include <grp.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

using namespace framework::win32;

extern char** environ;

using namespace hardening;
using settings::ConfigRecord;
using testsupport::Identity;
using testsupport::kNobody;
using testsupport::kNogroup;

namespace {

enum class Fault {
    ReadOnlyFolder,
    ReadOnlyFolderWithoutConfig,
    ReadOnlyFileSystem,
    FullDisk,
    FileSizeLimit,
    ReadOnlyFile,
    ImmutableFile,
    RenameRefused,
    LinkToAFileElsewhere,
    LinkIntoAReadOnlyFolder,
};

const ConfigRecord kOld{40, 1, 0, 1, 0, {10, 20, 30, 40, 50}};
// What the save tests store: the old settings with the MP3 switch flipped (FlipMp3Switch).
const ConfigRecord kNew{40, 1, 1, 1, 0, {10, 20, 30, 40, 50}};

void FlipMp3Switch(framework::CDialog& w) {
    testsupport::ClickListRow(w, res::IDC_PAGES, 1);
    testsupport::Click(w, res::IDC_MP3_PLAYER);
}

// Fills the file system holding `folder` until not one more byte fits.
bool FillUp(const QString& folder) {
    const int fd = ::open(Raw(folder + "/filler"), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), block.size()) > 0) {
    }
    while (::write(fd, "x", 1) > 0) {
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

// The file `path` as lstat sees it, if it is there.
std::optional<struct stat> StatOf(const QString& path) {
    struct stat st {};
    if (::lstat(Raw(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}

// Names in `folder` other than those expected to be there: leftovers of a save.
QStringList Leftovers(const QString& folder, const QStringList& expected) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                               QDir::NoDotAndDotDot);
    for (const QString& name : expected)
        names.removeAll(name);
    return names;
}

// A folder made and removed by its raw name, which Qt's own file classes would take as UTF-8
// and so could not find again.
class RawFolder {
public:
    explicit RawFolder(QByteArray raw) : m_raw(std::move(raw)) {
        m_ok = ::mkdir(m_raw.constData(), 0700) == 0;
    }
    ~RawFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_raw.toStdString(), ignored);
    }
    RawFolder(const RawFolder&) = delete;
    RawFolder& operator=(const RawFolder&) = delete;
    bool ok() const { return m_ok; }
    // The names in the folder, as raw bytes.
    QList<QByteArray> names() const {
        QList<QByteArray> found;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(m_raw.toStdString(), error))
            found << QByteArray::fromStdString(entry.path().filename().string());
        return found;
    }

private:
    QByteArray m_raw;
    bool m_ok = false;
};

// The saver helper: started with its standard output on a pipe, killed with SIGKILL.
class Saver {
public:
    Saver(const QString& folder, int firstValue) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return;
        }
        m_out = fds[0];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const QByteArray folderArg = Raw(folder);
        const QByteArray valueArg = QByteArray::number(firstValue);
        char* argv[] = {const_cast<char*>(HARDENING_SAVER), const_cast<char*>(folderArg.data()),
                        const_cast<char*>(valueArg.data()), nullptr};
        if (::posix_spawn(&m_pid, HARDENING_SAVER, &actions, nullptr, argv, environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
    }
    ~Saver() {
        kill();
        if (m_out >= 0) {
            ::close(m_out);
        }
    }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    // True once the first save is complete (the helper's signal byte arrived).
    bool waitUntilSaving(int timeoutMs) {
        pollfd p{m_out, POLLIN, 0};
        char byte = 0;
        return m_pid > 0 && ::poll(&p, 1, timeoutMs) == 1 && ::read(m_out, &byte, 1) == 1 &&
               byte == 's';
    }
    // Kills and reaps the helper; true if it died of the kill (not of an error of its own).
    bool kill() {
        if (m_pid <= 0) {
            return false;
        }
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
};

// Users and groups of the system the tests save as or give files to, besides nobody.
constexpr uid_t kOtherUser = 1000;
constexpr gid_t kUsers = 100;

// Runs the saver helper once in `folder` as the user `uid` with the group `gid` and the
// supplementary `groups`, all set in the child before the helper starts. Returns its exit status
// (-1 if it did not run to its end), with what it wrote to standard error in `error`.
int SaveOnceAs(uid_t uid, gid_t gid, std::vector<gid_t> groups, const QString& folder, int value,
               QString& error) {
    QProcess saver;
    saver.setChildProcessModifier([uid, gid, &groups] {
        // Between fork and exec: nothing but system calls.
        if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(gid, gid, gid) != 0 ||
            ::setresuid(uid, uid, uid) != 0)
            ::_exit(126);
    });
    saver.start(HARDENING_SAVER, {"--once", folder, QString::number(value)});
    const bool ended = saver.waitForFinished(20000) && saver.exitStatus() == QProcess::NormalExit;
    error = QString::fromLocal8Bit(saver.readAllStandardError());
    return ended ? saver.exitCode() : -1;
}

// Whether the file system of `folder` offers unnamed temporary files (O_TMPFILE).
bool HasUnnamedFiles(const QString& folder) {
    const int fd = ::open(Raw(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// A whole record as the saver writes it: the magic and ten equal value bytes. Returns the value
// or -1 for anything else.
int SaverValue(const QByteArray& bytes) {
    if (bytes.size() != 20 || !bytes.startsWith("CFG MIRT: ")) {
        return -1;
    }
    for (int i = 11; i < 20; ++i) {
        if (bytes[i] != bytes[10]) {
            return -1;
        }
    }
    return static_cast<unsigned char>(bytes[10]);
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class SaveFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void theOldFileSurvivesOrTheUserIsTold_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("mustSave");
        // A writable Config.cfg in a folder we may not write is rewritten in place; only a new
        // file needs the folder.
        QTest::newRow("read-only folder") << Fault::ReadOnlyFolder << true;
        QTest::newRow("read-only folder, no Config.cfg yet")
            << Fault::ReadOnlyFolderWithoutConfig << false;
        QTest::newRow("read-only file system") << Fault::ReadOnlyFileSystem << false;
        QTest::newRow("full disk") << Fault::FullDisk << false;
        QTest::newRow("file size limit") << Fault::FileSizeLimit << false;
        QTest::newRow("read-only Config.cfg") << Fault::ReadOnlyFile << false;
        QTest::newRow("immutable Config.cfg") << Fault::ImmutableFile << false;
        QTest::newRow("rename refused (mount point)") << Fault::RenameRefused << false;
        QTest::newRow("link to a file elsewhere") << Fault::LinkToAFileElsewhere << true;
        QTest::newRow("link into a read-only folder") << Fault::LinkIntoAReadOnlyFolder << true;
    }

    // mustSave: OK has to succeed; otherwise it may fail, provided it says so (some faults do
    // not hold for root, whom permissions do not stop).
    void theOldFileSurvivesOrTheUserIsTold() {
        QFETCH(Fault, fault);
        QFETCH(bool, mustSave);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString work = tmp.filePath("work");
        const QString elsewhere = tmp.filePath("elsewhere");
        QVERIFY(QDir().mkdir(work) && QDir().mkdir(elsewhere));
        QString dataFile = work + "/Config.cfg"; // where the bytes live (a link's target)
        QStringList expectedNames{"Config.cfg"};
        std::optional<TmpfsMount> disk;
        std::optional<PermissionsApplyToRoot> asUser;
        std::optional<FileSizeLimit> sizeLimit;
        std::optional<ImmutableFile> immutable;
        std::optional<PinnedFile> pinned;

        const auto needMount = [&](qint64 bytes) {
            disk.emplace(work, bytes);
            return disk->ok();
        };
        switch (fault) {
        case Fault::ReadOnlyFolder:
            QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
            QVERIFY(::chmod(Raw(dataFile), 0604) == 0);
            QVERIFY(::chmod(Raw(work), 0555) == 0);
            break;
        case Fault::ReadOnlyFolderWithoutConfig:
            QVERIFY(::chmod(Raw(work), 0555) == 0);
            expectedNames.clear();
            break;
        case Fault::ReadOnlyFileSystem:
            if (!needMount(1 << 20))
                QSKIP("mounting needs root in a private mount namespace");
            QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
            QVERIFY(disk->makeReadOnly());
            break;
        case Fault::FullDisk:
            if (!needMount(64 << 10))
                QSKIP("mounting a small tmpfs needs root in a private mount namespace");
            QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
            QVERIFY(FillUp(work));
            expectedNames << "filler";
            break;
        case Fault::FileSizeLimit:
            QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
            break;
        case Fault::ReadOnlyFile:
            QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
            QVERIFY(::chmod(Raw(dataFile), 0444) == 0);
            break;
        case Fault::ImmutableFile:
            QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
            immutable.emplace(dataFile);
            if (!immutable->ok())
                QSKIP("cannot mark a file immutable here (needs root and a file system with "
                      "chattr +i, such as ext4)");
            break;
        case Fault::RenameRefused:
            // Everything up to the final rename works: the file is writable and so is the
            // folder. Only renaming over a mount point fails (EBUSY).
            QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
            pinned.emplace(Raw(dataFile).constData());
            if (!pinned->ok())
                QSKIP("binding a file onto itself needs root in a private mount namespace");
            break;
        case Fault::LinkToAFileElsewhere:
        case Fault::LinkIntoAReadOnlyFolder:
            dataFile = elsewhere + "/real.cfg";
            QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
            QVERIFY(::symlink("../elsewhere/real.cfg", Raw(work + "/Config.cfg")) == 0);
            if (fault == Fault::LinkIntoAReadOnlyFolder)
                QVERIFY(::chmod(Raw(elsewhere), 0555) == 0);
            break;
        }
        if (fault == Fault::ReadOnlyFolder || fault == Fault::ReadOnlyFolderWithoutConfig ||
            fault == Fault::ReadOnlyFile || fault == Fault::LinkIntoAReadOnlyFolder) {
            asUser.emplace();
            if (!asUser->ok())
                QSKIP("running as root and cannot drop CAP_DAC_OVERRIDE: nothing is read-only");
        }

        const QByteArray oldContents = ReadFile(dataFile);
        const std::optional<struct stat> oldFile = StatOf(dataFile);

        testsupport::SetSettingValues(kOld);
        WindowRun window;
        window.edit = FlipMp3Switch;
        {
            testsupport::ScopedWorkingDir in(Raw(work));
            QVERIFY(in.ok());
            if (fault == Fault::FileSizeLimit) {
                sizeLimit.emplace(10); // the 20 bytes cannot all be written
                QVERIFY(sizeLimit->ok());
            }
            window.run();
            sizeLimit.reset();
        }
        asUser.reset();

        if (oldFile) // without a file the window shows its own defaults
            QCOMPARE(window.shown, kOld);
        const bool saved = window.result == IDOK;
        if (saved) {
            QCOMPARE(window.messages, QStringList());
            QCOMPARE(ReadFile(dataFile), ConfigFileBytes(kNew));
        } else {
            QCOMPARE(window.messages, QStringList{kSaveError});
            QCOMPARE(ReadFile(dataFile), oldContents);
        }
        // Saved or not, the file is the one it was: same owner, group, mode and links. Where
        // its folder refused a replacement, it is even the same inode.
        if (oldFile) {
            const std::optional<struct stat> now = StatOf(dataFile);
            QVERIFY(now);
            QCOMPARE(Identity(*now), Identity(*oldFile));
            if (fault == Fault::ReadOnlyFolder || fault == Fault::LinkIntoAReadOnlyFolder)
                QCOMPARE(now->st_ino, oldFile->st_ino);
        }
        if (mustSave)
            QVERIFY2(saved, "OK did not save");
        else if (fault != Fault::ReadOnlyFile)
            QVERIFY2(!saved, "OK claims to have saved where nothing can be written");
        else
            qInfo("read-only Config.cfg: OK %s", saved ? "replaced it" : "refused");
        if (fault == Fault::LinkToAFileElsewhere || fault == Fault::LinkIntoAReadOnlyFolder) {
            QVERIFY(QFileInfo(work + "/Config.cfg").isSymLink());
            QCOMPARE(Leftovers(elsewhere, {"real.cfg"}), QStringList());
        }
        QCOMPARE(Leftovers(work, expectedNames), QStringList());

        ::chmod(Raw(work), 0700);
        ::chmod(Raw(elsewhere), 0700);
    }

    // Folders unpacked from archives made elsewhere are often named in Latin-1 or CP1251,
    // bytes that are not UTF-8. OK saves there, and through a link into such a folder.
    void okSavesWhereTheFolderNameIsNotUtf8_data() {
        QTest::addColumn<QByteArray>("folderName");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("Latin-1 folder") << QByteArray("\xe9t\xe9") << false;
        QTest::newRow("CP1251 folder") << QByteArray("\xcf\xe0\xef\xea\xe0") << false;
        QTest::newRow("link into a CP1251 folder") << QByteArray("\xcf\xe0\xef\xea\xe0") << true;
    }
    void okSavesWhereTheFolderNameIsNotUtf8() {
        QFETCH(QByteArray, folderName);
        QFETCH(bool, throughLink);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QByteArray odd = Raw(tmp.path()) + '/' + folderName;
        const RawFolder folder(odd);
        QVERIFY(folder.ok());
        QByteArray work = odd;
        const QByteArray dataFile = odd + (throughLink ? "/real.cfg" : "/Config.cfg");
        QVERIFY(WriteFile(dataFile, ConfigFileBytes(kOld)));
        if (throughLink) {
            work = Raw(tmp.filePath("work"));
            QVERIFY(::mkdir(work.constData(), 0700) == 0);
            const QByteArray target = "../" + folderName + "/real.cfg";
            QVERIFY(::symlink(target.constData(), (work + "/Config.cfg").constData()) == 0);
        }

        testsupport::SetSettingValues(kOld);
        WindowRun window;
        window.edit = FlipMp3Switch;
        {
            testsupport::ScopedWorkingDir in(work);
            QVERIFY(in.ok());
            window.run();
        }
        QCOMPARE(window.shown, kOld);
        QCOMPARE(window.messages, QStringList());
        QCOMPARE(window.result, IDOK);
        QCOMPARE(ReadFile(dataFile), ConfigFileBytes(kNew));
        QCOMPARE(folder.names(), QList<QByteArray>{dataFile.mid(odd.size() + 1)});
        if (throughLink) {
            struct stat st {};
            QVERIFY(::lstat((work + "/Config.cfg").constData(), &st) == 0 && S_ISLNK(st.st_mode));
        }
    }

    // Saves by a user other than root, who may neither give a file to another user nor write a
    // folder of root's, in a child process. Where a replacement could not keep Config.cfg as it
    // was, it is rewritten in place, keeping owner, group, mode and inode; a new file in a folder
    // the saver may not write is refused and nothing is created.
    void aSaveAsAnotherUserKeepsTheFile_data() {
        QTest::addColumn<uint>("folderOwner");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<uint>("fileOwner");
        QTest::addColumn<uint>("fileGroup");
        QTest::addColumn<int>("fileMode"); // 0: no Config.cfg
        QTest::addColumn<bool>("saverInUsers");
        QTest::addColumn<bool>("mustSave");
        // The saver may write the folder, so only the owner it cannot give stops a replacement.
        QTest::newRow("another user's group-writable file, group of ours")
            << uint(kNobody) << 0755 << uint(kOtherUser) << uint(kUsers) << 0660 << true << true;
        QTest::newRow("another user's writable file, sticky folder")
            << 0u << 01777 << uint(kOtherUser) << uint(kOtherUser) << 0666 << false << true;
        QTest::newRow("own file, root's folder")
            << 0u << 0755 << uint(kNobody) << uint(kNogroup) << 0640 << false << true;
        QTest::newRow("no Config.cfg, root's folder")
            << 0u << 0755 << 0u << 0u << 0 << false << false;
    }
    void aSaveAsAnotherUserKeepsTheFile() {
        QFETCH(uint, folderOwner);
        QFETCH(int, folderMode);
        QFETCH(uint, fileOwner);
        QFETCH(uint, fileGroup);
        QFETCH(int, fileMode);
        QFETCH(bool, saverInUsers);
        QFETCH(bool, mustSave);
        if (!IsRoot())
            QSKIP("starting a process as another user needs root");
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(::chmod(Raw(tmp.path()), 0755) == 0);
        const QString work = tmp.filePath("work");
        const QString config = work + "/Config.cfg";
        QVERIFY(QDir().mkdir(work));
        QVERIFY(::chown(Raw(work), folderOwner, folderOwner) == 0);
        QVERIFY(::chmod(Raw(work), mode_t(folderMode)) == 0);
        if (fileMode != 0) {
            QVERIFY(WriteFile(config, ConfigFileBytes(kOld)));
            QVERIFY(::chown(Raw(config), fileOwner, fileGroup) == 0);
            QVERIFY(::chmod(Raw(config), mode_t(fileMode)) == 0);
        }
        const std::optional<struct stat> before = StatOf(config);

        QString error;
        const int status = SaveOnceAs(
            kNobody, kNogroup, saverInUsers ? std::vector<gid_t>{kUsers} : std::vector<gid_t>{},
            work, 7, error);
        QCOMPARE(status, mustSave ? 0 : 1);
        if (!mustSave)
            QVERIFY2(error.startsWith("Cannot save Config.cfg: "), qPrintable(error));
        if (before) {
            const std::optional<struct stat> after = StatOf(config);
            QVERIFY(after);
            QCOMPARE(Identity(*after), Identity(*before));
            QCOMPARE(after->st_ino, before->st_ino);
            QCOMPARE(SaverValue(ReadFile(config)), 7);
        }
        QCOMPARE(Leftovers(work, {}), before ? QStringList{"Config.cfg"} : QStringList());
    }

    // A process saving in a loop is killed at random moments. Config.cfg must always hold a
    // whole record, and once the process has finished a save, the one before it is gone. A
    // temporary file a killed save left is removed by the next save.
    void aKilledSaveLeavesTheOldOrTheNewFile() {
        constexpr int kKills = 1000;
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString config = tmp.filePath("Config.cfg");
        QVERIFY(WriteFile(config, ConfigFileBytes(ConfigRecord{})));
        int value = 0;
        int leftovers = 0;
        QRandomGenerator random = QRandomGenerator::securelySeeded();
        for (int round = 0; round < kKills; ++round) {
            const int first = (value + 1) & 0xFF;
            Saver saver(tmp.path(), first);
            QVERIFY2(saver.waitUntilSaving(20000), "the saver did not complete a first save");
            // The kill lands anywhere in the save loop: open, write, sync, rename.
            std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(3000)));
            QVERIFY2(saver.kill(), "the saver stopped before it was killed");

            const QByteArray now = ReadFile(config);
            const int found = SaverValue(now);
            QVERIFY2(found >= 0,
                     qPrintable(QString("round %1: Config.cfg is not a whole record: %2")
                                    .arg(round)
                                    .arg(QString::fromLatin1(now.toHex(' ')))));
            QVERIFY2(found != value,
                     qPrintable(QString("round %1: the finished save was lost").arg(round)));
            value = found;
            // Temporary files of killed saves: note them and check they hold nothing but a
            // record or less of one. They stay; the next saver's first save removes them, so
            // each is counted once.
            for (const QString& name : Leftovers(tmp.path(), {"Config.cfg"})) {
                QVERIFY2(name.startsWith("Config.cfg."), qPrintable("unexpected file " + name));
                QVERIFY(QFileInfo(tmp.filePath(name)).size() <= 20);
                ++leftovers;
            }
        }
        const qsizetype waiting = Leftovers(tmp.path(), {"Config.cfg"}).size();
        std::string error;
        QVERIFY2(settings::SaveConfigFile(Raw(config), ConfigRecord{}, &error), error.c_str());
        QCOMPARE(Leftovers(tmp.path(), {"Config.cfg"}), QStringList());
        qInfo("%d kills survived; %d of them left a named temporary file, %d of which waited for "
              "the last save, which removed it",
              kKills, leftovers, int(waiting));
        // An unnamed file has a name only between its link and its rename, a sliver of a save.
        if (HasUnnamedFiles(tmp.path()))
            QVERIFY2(leftovers < kKills / 4, "killed saves leave named temporary files");
    }
};

HARDENING_TEST_MAIN(SaveFaultsTest)
#include "tst_SaveFaults.moc"
