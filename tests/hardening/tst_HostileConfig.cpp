// The settings window over a Config.cfg that is not a plain file, or is one that cannot or should
// not be read whole: it must open without blocking and with the values the file rules give, and
// OK must then either write a correct file or say that it could not.
#include "ConfigCheck.h"
#include "HardeningMain.h"
#include "media/Graph.h"
#include "support/ScopedWorkingDir.h"

#include <QDir>

#include <atomic>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>

using namespace framework::win32;

using namespace hardening;
using settings::ConfigRecord;
using testsupport::GrowSparse;

namespace {

enum class Hostile {
    Fifo,
    FifoWithWaitingWriter,
    LinkToFifo,
    Directory,
    Socket,
    LinkToDevZero,
    Sparse4GiB,
    Sparse4GiBWithValidHead,
    Unreadable,
    DanglingLink,
    LinkLoop,
    LinkToItself,
    Empty,
};

// What OK may do: write the file, refuse with the save error, or (where it depends on who runs
// the test) either, as long as the message appears exactly when nothing was written.
enum class OnOk { Saves, Refuses, SavesOrRefuses };

// Values preset outside the window; a load that fails must leave them and the switches alone.
const ConfigRecord kBefore{7, 1, 0, 0, 0, {11, 22, 33, 44, 55}};
const ConfigRecord kInFile{30, 0, 1, 1, 1, {5, 6, 7, 8, 9}};

bool MakeSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray raw = Raw(path);
    if (fd < 0 || size_t(raw.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::copy(raw.begin(), raw.end(), address.sun_path);
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd); // the socket file stays, with nobody listening
    return ok;
}

// A thread blocked in opening a FIFO for writing: the open returns only once somebody opens
// the FIFO for reading, so gotThrough() tells whether anybody did. The destructor lets it
// through itself and joins it.
class WaitingWriter {
public:
    explicit WaitingWriter(QByteArray fifo) : m_fifo(std::move(fifo)) {
        m_thread = std::thread([this] {
            m_tid = ::gettid();
            const int fd = ::open(m_fifo.constData(), O_WRONLY | O_CLOEXEC);
            if (!m_released)
                m_gotThrough = true;
            if (fd >= 0)
                ::close(fd);
        });
    }
    ~WaitingWriter() {
        m_released = true;
        const int fd = ::open(m_fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        m_thread.join();
        if (fd >= 0)
            ::close(fd);
    }
    WaitingWriter(const WaitingWriter&) = delete;
    WaitingWriter& operator=(const WaitingWriter&) = delete;

    // Waits until the thread sits in its open() call (openat, system call 257 on x86-64).
    bool waitUntilBlocked() {
        return QTest::qWaitFor(
            [this] {
                QFile syscall(QString("/proc/self/task/%1/syscall").arg(m_tid.load()));
                return m_tid != 0 && syscall.open(QIODevice::ReadOnly) &&
                       syscall.readAll().startsWith("257 ");
            },
            10000);
    }
    bool gotThrough() const { return m_gotThrough; }

private:
    QByteArray m_fifo;
    std::atomic<pid_t> m_tid{0};
    std::atomic<bool> m_released{false};
    std::atomic<bool> m_gotThrough{false};
    std::thread m_thread;
};

QByteArray LinkTarget(const QByteArray& path) {
    char target[4096];
    const ssize_t n = ::readlink(path.constData(), target, sizeof target);
    return n < 0 ? QByteArray() : QByteArray(target, n);
}

} // namespace

Q_DECLARE_METATYPE(Hostile)
Q_DECLARE_METATYPE(OnOk)

class HostileConfigTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheRuleValuesAndOkSavesOrSaysSo_data() {
        QTest::addColumn<Hostile>("kind");
        QTest::addColumn<OnOk>("onOk");
        QTest::newRow("FIFO without a writer") << Hostile::Fifo << OnOk::Refuses;
        QTest::newRow("FIFO with a writer waiting")
            << Hostile::FifoWithWaitingWriter << OnOk::Refuses;
        QTest::newRow("link to a FIFO") << Hostile::LinkToFifo << OnOk::Refuses;
        QTest::newRow("directory") << Hostile::Directory << OnOk::Refuses;
        QTest::newRow("socket") << Hostile::Socket << OnOk::Refuses;
        QTest::newRow("link to /dev/zero") << Hostile::LinkToDevZero << OnOk::Refuses;
        QTest::newRow("4 GiB sparse file") << Hostile::Sparse4GiB << OnOk::Saves;
        QTest::newRow("4 GiB sparse file, valid head")
            << Hostile::Sparse4GiBWithValidHead << OnOk::Saves;
        QTest::newRow("unreadable file") << Hostile::Unreadable << OnOk::SavesOrRefuses;
        QTest::newRow("dangling link") << Hostile::DanglingLink << OnOk::Saves;
        QTest::newRow("link loop") << Hostile::LinkLoop << OnOk::Refuses;
        QTest::newRow("link to itself") << Hostile::LinkToItself << OnOk::Refuses;
        QTest::newRow("empty file") << Hostile::Empty << OnOk::Saves;
    }

    void opensWithTheRuleValuesAndOkSavesOrSaysSo() {
        QFETCH(Hostile, kind);
        QFETCH(OnOk, onOk);
        testsupport::ScopedWorkingDir dir;
        const QString config = dir.file("Config.cfg");
        const QByteArray rawConfig = Raw(config);
        // Where OK writes when the save succeeds (a link's target), and what the test expects
        // the window to show after loading.
        QString written = config;
        ConfigRecord expectShown = kBefore;
        std::optional<PinnedFile> pinned;
        std::optional<PermissionsApplyToRoot> asUser;
        std::optional<WaitingWriter> writer;
        bool pressOk = true;

        switch (kind) {
        case Hostile::Fifo:
            QVERIFY(::mkfifo(rawConfig, 0644) == 0);
            break;
        case Hostile::FifoWithWaitingWriter:
            QVERIFY(::mkfifo(rawConfig, 0644) == 0);
            writer.emplace(rawConfig);
            QVERIFY2(writer->waitUntilBlocked(), "the writer never reached its open()");
            break;
        case Hostile::LinkToFifo:
            QVERIFY(::mkfifo(Raw(dir.file("pipe")), 0644) == 0);
            QVERIFY(::symlink("pipe", rawConfig) == 0);
            break;
        case Hostile::Directory:
            QVERIFY(QDir(dir.path()).mkdir("Config.cfg"));
            break;
        case Hostile::Socket:
            if (!MakeSocket(config))
                QSKIP("cannot create a socket file here (path too long for AF_UNIX?)");
            break;
        case Hostile::LinkToDevZero:
            QVERIFY(::symlink("/dev/zero", rawConfig) == 0);
            // Root could rename over /dev/zero; pin it so a faulty save cannot replace it.
            if (IsRoot()) {
                pinned.emplace("/dev/zero");
                pressOk = pinned->ok();
            }
            break;
        case Hostile::Sparse4GiB:
            QVERIFY(WriteFile(config, {}));
            if (!GrowSparse(config, qint64(4) << 30))
                QSKIP("the temporary folder cannot hold a 4 GiB sparse file");
            break;
        case Hostile::Sparse4GiBWithValidHead:
            QVERIFY(WriteFile(config, ConfigFileBytes(kInFile) + "more after the record"));
            if (!GrowSparse(config, qint64(4) << 30))
                QSKIP("the temporary folder cannot hold a 4 GiB sparse file");
            expectShown = kInFile;
            break;
        case Hostile::Unreadable:
            QVERIFY(WriteFile(config, ConfigFileBytes(kInFile)));
            QVERIFY(::chmod(rawConfig, 0) == 0);
            asUser.emplace();
            if (!asUser->ok())
                QSKIP("running as root and cannot drop CAP_DAC_OVERRIDE: the file is readable");
            break;
        case Hostile::DanglingLink:
            QVERIFY(::symlink("not-yet.cfg", rawConfig) == 0);
            written = dir.file("not-yet.cfg");
            break;
        case Hostile::LinkLoop:
            QVERIFY(::symlink("b", Raw(dir.file("a"))) == 0);
            QVERIFY(::symlink("a", Raw(dir.file("b"))) == 0);
            QVERIFY(::symlink("a", rawConfig) == 0);
            break;
        case Hostile::LinkToItself:
            QVERIFY(::symlink("Config.cfg", rawConfig) == 0);
            break;
        case Hostile::Empty:
            QVERIFY(WriteFile(config, {}));
            break;
        }

        struct stat before {};
        QVERIFY(::lstat(rawConfig, &before) == 0);
        const QByteArray linkBefore = LinkTarget(rawConfig);
        const QByteArray oldContents = ReadFile(written);

        testsupport::SetSettingValues(kBefore);
        WindowRun window;
        window.pressOk = pressOk;
        window.run();
        qInfo("%s: the window opened after %lld ms", QTest::currentDataTag(), window.openMs);

        QCOMPARE(window.shown, expectShown);
        // Opening a FIFO (or a device) acts on whoever is at the other end, even if nothing is
        // read: a writer waiting for a reader must never be let through.
        if (writer)
            QVERIFY2(!writer->gotThrough(), "Config.cfg, a FIFO, was opened");
        const bool saved = window.result == IDOK;
        if (saved) {
            QCOMPARE(window.messages, QStringList());
            QCOMPARE(ReadFile(written), ConfigFileBytes(expectShown));
        } else {
            if (pressOk)
                QCOMPARE(window.messages, QStringList{kSaveError});
            QCOMPARE(ReadFile(written), oldContents);
        }
        if (onOk == OnOk::Saves)
            QVERIFY2(saved, "OK did not save");
        if (onOk == OnOk::Refuses)
            QVERIFY2(!saved, "OK claims to have saved");
        if (onOk == OnOk::SavesOrRefuses)
            qInfo("%s: OK %s", QTest::currentDataTag(), saved ? "replaced the file" : "refused");

        // Whatever was in the way is still what it was; a link stays a link to the same place.
        struct stat after {};
        QVERIFY(::lstat(rawConfig, &after) == 0);
        if (!S_ISREG(before.st_mode) || !saved)
            QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        QCOMPARE(LinkTarget(rawConfig), linkBefore);
        if (kind == Hostile::LinkToDevZero) {
            struct stat zero {};
            QVERIFY(::stat("/dev/zero", &zero) == 0 && S_ISCHR(zero.st_mode));
            if (!pressOk)
                QSKIP("root without a private mount namespace: /dev/zero could not be "
                      "protected, so OK was not pressed (loading was checked)");
        }
        // A refused save leaves no temporary file behind.
        const QStringList entries =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString& name : entries)
            QVERIFY2(!name.startsWith("Config.cfg.") && !name.startsWith("not-yet.cfg."),
                     qPrintable("left behind: " + name));
    }
};

HARDENING_TEST_MAIN(HostileConfigTest)
#include "tst_HostileConfig.moc"
