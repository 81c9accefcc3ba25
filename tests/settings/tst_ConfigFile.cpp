// Reading Config.cfg from disk without ever blocking, and saving it so that it stays the file it
// was.
#include "settings/ConfigFile.h"
#include "support/ConfigFileBytes.h"
#include "support/FileIdentity.h"
#include "support/FileSizeLimit.h"
#include "support/SmallFiles.h"
#include "support/Users.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <optional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace settings;
using testsupport::ConfigFileBytes;
using testsupport::GrowSparse;
using testsupport::Identity;
using testsupport::IsRoot;
using testsupport::kNobody;
using testsupport::Raw;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

// Values a file never holds after loading, so an untouched record is easy to spot.
ConfigRecord Sentinel() {
    return ConfigRecord{-1, -2, -3, -4, -5, {-6, -7, -8, -9, -10}};
}

const ConfigRecord kSample{10, 1, 0, 1, 1, {20, 40, 60, 80, 200}};

} // namespace

class ConfigFileTest : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> m_tmp;

    QString Path(const QString& name) const { return m_tmp->filePath(name); }

private slots:
    void init() {
        m_tmp.emplace();
        QVERIFY(m_tmp->isValid());
    }
    void cleanup() {
        // Give back write access so the folder can be removed after the read-only case.
        ::chmod(QFile::encodeName(m_tmp->path()).constData(), 0700);
        m_tmp.reset();
    }

    // ---- loading -------------------------------------------------------------------------

    void loadReadsAFileAndFollowsLinks() {
        QVERIFY(
            WriteFile(Path("real.cfg"), ConfigFileBytes(kSample) + "trailing bytes are ignored"));
        QVERIFY(QFile::link("real.cfg", Path("Config.cfg")));
        ConfigRecord rec = Sentinel();
        QVERIFY(LoadConfigFile(Raw(Path("Config.cfg")), rec));
        QVERIFY(rec == kSample);
    }

    void loadTakesOnlyTheHeadOfAHugeSparseFile() {
        QVERIFY(WriteFile(Path("Config.cfg"), ConfigFileBytes(kSample)));
        if (!GrowSparse(Path("Config.cfg"), qint64(4) << 30)) {
            QSKIP("the temporary folder cannot hold a 4 GiB sparse file");
        }
        ConfigRecord rec = Sentinel();
        QVERIFY(LoadConfigFile(Raw(Path("Config.cfg")), rec));
        QVERIFY(rec == kSample);
    }

    // Everything that is not a regular file is left alone: nothing is read, nothing assigned.
    void loadIgnoresWhatIsNotARegularFile_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"missing", "directory", "dangling link", "link loop", "link to /dev/zero"}) {
            QTest::newRow(kind) << QString(kind);
        }
    }
    void loadIgnoresWhatIsNotARegularFile() {
        QFETCH(QString, kind);
        const QString path = Path("Config.cfg");
        if (kind == "directory") {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == "dangling link") {
            QVERIFY(QFile::link(Path("nowhere"), path));
        } else if (kind == "link loop") {
            QVERIFY(QFile::link(Path("other"), path));
            QVERIFY(QFile::link(path, Path("other")));
        } else if (kind == "link to /dev/zero") {
            QVERIFY(QFile::link("/dev/zero", path));
        }
        ConfigBytes bytes{};
        QCOMPARE(ReadConfigBytes(Raw(path), bytes), std::size_t{0});
        ConfigRecord rec = Sentinel();
        QVERIFY(!LoadConfigFile(Raw(path), rec));
        QVERIFY(rec == Sentinel());
    }

    // A FIFO must neither block the open (no writer) nor be read (writer with data waiting).
    void loadIgnoresAFifo_data() {
        QTest::addColumn<bool>("withWriter");
        QTest::newRow("no writer") << false;
        QTest::newRow("writer with a valid config") << true;
    }
    void loadIgnoresAFifo() {
        QFETCH(bool, withWriter);
        const QByteArray fifo = Raw(Path("Config.cfg"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        int writer = -1;
        if (withWriter) {
            // O_RDWR opens a FIFO at once on Linux; the data waits in the pipe buffer.
            writer = ::open(fifo.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            QVERIFY(writer >= 0);
            const QByteArray data = ConfigFileBytes(kSample);
            QCOMPARE(::write(writer, data.constData(), size_t(data.size())), ssize_t(data.size()));
        }
        auto load = std::async(std::launch::async, [&fifo] {
            ConfigBytes bytes{};
            return ReadConfigBytes(fifo.constData(), bytes);
        });
        const bool finished = load.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        if (!finished && writer < 0) {
            // Release a reader stuck in open() so the test can fail instead of hanging.
            writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        }
        const std::size_t got = load.get();
        if (writer >= 0) {
            ::close(writer);
        }
        QVERIFY2(finished, "reading a FIFO blocked");
        QCOMPARE(got, std::size_t{0});
    }

    void loadIgnoresAnUnreadableFile() {
        if (IsRoot()) {
            QSKIP("root reads files whatever their permissions");
        }
        QVERIFY(WriteFile(Path("Config.cfg"), ConfigFileBytes(kSample)));
        QVERIFY(QFile::setPermissions(Path("Config.cfg"), QFileDevice::WriteOwner));
        ConfigRecord rec = Sentinel();
        QVERIFY(!LoadConfigFile(Raw(Path("Config.cfg")), rec));
        QVERIFY(rec == Sentinel());
    }

    // ---- saving --------------------------------------------------------------------------

    void saveWritesExactlyTheEncodedBytes() {
        std::string error;
        QVERIFY(SaveConfigFile(Raw(Path("Config.cfg")), kSample, &error));
        QVERIFY(error.empty());
        QCOMPARE(ReadFile(Path("Config.cfg")), ConfigFileBytes(kSample));
    }

    void saveReplacesTheOldFileAsAWhole() {
        const QString path = Path("Config.cfg");
        const QByteArray old = ConfigFileBytes(Sentinel()) + "a longer old file";
        QVERIFY(WriteFile(path, old));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup));
        // A reader holding the old file keeps seeing it whole: it was replaced, not rewritten.
        QFile held(path);
        QVERIFY(held.open(QIODevice::ReadOnly));

        QVERIFY(SaveConfigFile(Raw(path), kSample));
        QCOMPARE(ReadFile(path), ConfigFileBytes(kSample));
        QCOMPARE(held.readAll(), old);
        QCOMPARE(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadUser | QFileDevice::WriteUser |
                                               QFileDevice::ReadGroup);
        QCOMPARE(QDir(m_tmp->path()).entryList(QDir::Files), QStringList{"Config.cfg"});
    }

    // The saved file is the one it was: owner, group, mode and links. Root gives a replacement
    // another user's identity; a file with a second link is rewritten in place, so that both
    // names see the new bytes.
    void saveKeepsTheFileAsItWas_data() {
        QTest::addColumn<bool>("anotherUsers");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("secondLink");
        QTest::newRow("another user's 0600 file (root)") << true << 0600 << false;
        QTest::newRow("another user's file with set-ID bits (root)") << true << 06750 << false;
        QTest::newRow("a file with a second hard link") << false << 0640 << true;
    }
    void saveKeepsTheFileAsItWas() {
        QFETCH(bool, anotherUsers);
        QFETCH(int, mode);
        QFETCH(bool, secondLink);
        if (anotherUsers && !IsRoot()) {
            QSKIP("only root can give a file to another user");
        }
        const QByteArray path = Raw(Path("Config.cfg"));
        const QByteArray other = Raw(Path("Backup.cfg"));
        QVERIFY(WriteFile(Path("Config.cfg"), ConfigFileBytes(Sentinel()) + "a longer old file"));
        if (anotherUsers) {
            QCOMPARE(::chown(path.constData(), kNobody, kNobody), 0);
        }
        QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
        if (secondLink) {
            QCOMPARE(::link(path.constData(), other.constData()), 0);
        }
        struct stat before {};
        QCOMPARE(::lstat(path.constData(), &before), 0);

        std::string error;
        QVERIFY2(SaveConfigFile(path, kSample, &error), error.c_str());
        struct stat after {};
        QCOMPARE(::lstat(path.constData(), &after), 0);
        QCOMPARE(Identity(after), Identity(before));
        QCOMPARE(ReadFile(Path("Config.cfg")), ConfigFileBytes(kSample));
        // Only a second link asks for a rewrite in place; otherwise the file was replaced.
        QCOMPARE(after.st_ino == before.st_ino, secondLink);
        if (secondLink) {
            QCOMPARE(ReadFile(Path("Backup.cfg")), ConfigFileBytes(kSample));
        }
        QStringList expected{"Config.cfg"};
        if (secondLink) {
            expected.prepend("Backup.cfg");
        }
        QCOMPARE(
            QDir(m_tmp->path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            expected);
    }

    // A save first removes the temporary files that killed saves of ours left beside the file:
    // regular files of ours with such a name whose lock nobody holds. A file a save under way
    // holds locked, another user's and anything else of another name or kind stays.
    void saveRemovesOnlyStaleTemporaryFilesOfOurs_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        const QString temp = "Config.cfg.AbC123";
        QTest::newRow("ours, left by a killed save") << temp << "file" << true;
        QTest::newRow("ours, held by a save under way") << temp << "locked file" << false;
        QTest::newRow("another user's (root)") << temp << "another user's file" << false;
        QTest::newRow("a folder") << temp << "folder" << false;
        QTest::newRow("a FIFO") << temp << "fifo" << false;
        QTest::newRow("a link to a file of ours") << temp << "link" << false;
        QTest::newRow("a backup") << "Config.cfg.backup"
                                  << "file" << false;
        QTest::newRow("a numbered copy") << "Config.cfg.old123"
                                         << "file" << false;
        QTest::newRow("five letters") << "Config.cfg.AbC12"
                                      << "file" << false;
        QTest::newRow("seven letters") << "Config.cfg.AbC1234"
                                       << "file" << false;
        QTest::newRow("not a letter") << "Config.cfg.AbC-12"
                                      << "file" << false;
        QTest::newRow("another file's") << "Settings.ini.AbC123"
                                        << "file" << false;
    }
    void saveRemovesOnlyStaleTemporaryFilesOfOurs() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        if (kind == "another user's file" && !IsRoot()) {
            QSKIP("only root can give a file to another user");
        }
        const QByteArray raw = Raw(Path(name));
        QFile held(Path(name));
        if (kind == "folder") {
            QVERIFY(QDir().mkdir(Path(name)));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(raw.constData(), 0600), 0);
        } else if (kind == "link") {
            QVERIFY(WriteFile(Path("real.cfg"), ConfigFileBytes(Sentinel())));
            QVERIFY(QFile::link("real.cfg", Path(name)));
        } else {
            QVERIFY(WriteFile(Path(name), ConfigFileBytes(Sentinel()).left(7)));
        }
        if (kind == "another user's file") {
            QCOMPARE(::chown(raw.constData(), kNobody, kNobody), 0);
        } else if (kind == "locked file") {
            QVERIFY(held.open(QIODevice::ReadOnly));
            QCOMPARE(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
        }

        std::string error;
        QVERIFY2(SaveConfigFile(Raw(Path("Config.cfg")), kSample, &error), error.c_str());
        QCOMPARE(ReadFile(Path("Config.cfg")), ConfigFileBytes(kSample));
        struct stat st {};
        QCOMPARE(::lstat(raw.constData(), &st) != 0, removed);
        if (kind == "link") {
            QCOMPARE(ReadFile(Path("real.cfg")), ConfigFileBytes(Sentinel()));
        }
    }

    void saveFailureLeavesEverythingAsItWas_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"read-only folder, no Config.cfg yet", "write fails", "write in place fails",
              "folder missing", "directory named so", "fifo named so", "link loop"}) {
            QTest::newRow(kind) << QString(kind);
        }
    }
    void saveFailureLeavesEverythingAsItWas() {
        QFETCH(QString, kind);
        QString path = Path("Config.cfg");
        if (kind == "read-only folder, no Config.cfg yet") {
            // Only a new file needs the folder: one that is there is rewritten in place.
            if (IsRoot()) {
                QSKIP("root writes into read-only folders");
            }
            QVERIFY(QFile::setPermissions(m_tmp->path(),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        } else if (kind == "folder missing") {
            path = Path("missing/Config.cfg");
        } else if (kind == "directory named so") {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == "fifo named so") {
            QCOMPARE(::mkfifo(Raw(path).constData(), 0600), 0);
        } else if (kind == "link loop") {
            QVERIFY(QFile::link(Path("other"), path));
            QVERIFY(QFile::link(path, Path("other")));
        } else if (kind == "write fails") {
            QVERIFY(WriteFile(path, ConfigFileBytes(Sentinel())));
        } else if (kind == "write in place fails") {
            // A second link asks for a rewrite in place, which gets half way: the bytes it
            // overwrote must come back. They differ from the new ones from the first byte on.
            QVERIFY(WriteFile(path, "0123456789abcdefghijklmnopqrstuvwxyz"));
            QCOMPARE(::link(Raw(path).constData(), Raw(Path("Backup.cfg")).constData()), 0);
        }
        const QStringList before = QDir(m_tmp->path()).entryList(QDir::AllEntries | QDir::System);
        const QByteArray oldBytes = ReadFile(path);

        std::string error;
        bool saved = false;
        {
            // Nothing but the save runs under the limit, so the test log stays writable.
            std::optional<testsupport::FileSizeLimit> limit;
            if (kind.startsWith("write")) {
                limit.emplace(kConfigSize / 2);
            }
            if (!limit || limit->ok()) {
                saved = SaveConfigFile(Raw(path), kSample, &error);
            }
        }
        QVERIFY(!saved);
        QVERIFY2(!error.empty(), "a failed save must say why");
        qInfo("%s", error.c_str());

        QCOMPARE(QDir(m_tmp->path()).entryList(QDir::AllEntries | QDir::System), before);
        QCOMPARE(ReadFile(path), oldBytes);
        const QFileInfo info(path);
        QCOMPARE(info.isDir(), kind == "directory named so");
        QCOMPARE(info.isSymLink(), kind == "link loop");
    }

    // Saving through a link writes the file it leads to; the link stays as it was.
    void saveThroughALinkReplacesItsTarget_data() {
        QTest::addColumn<QString>("linkTarget");
        QTest::addColumn<bool>("chained");
        QTest::newRow("relative link") << "../data/settings.bin" << false;
        QTest::newRow("absolute link") << "" << false;
        QTest::newRow("link to a link") << "../data/settings.bin" << true;
    }
    void saveThroughALinkReplacesItsTarget() {
        QFETCH(QString, linkTarget);
        QFETCH(bool, chained);
        QVERIFY(QDir(m_tmp->path()).mkpath("game"));
        QVERIFY(QDir(m_tmp->path()).mkpath("data"));
        const QString target = Path("data/settings.bin");
        QVERIFY(WriteFile(target, ConfigFileBytes(Sentinel())));
        if (linkTarget.isEmpty()) {
            linkTarget = target;
        }
        const QString link = Path("game/Config.cfg");
        if (chained) {
            QVERIFY(QFile::link(linkTarget, Path("game/hop")));
            linkTarget = "hop";
        }
        QVERIFY(QFile::link(linkTarget, link));
        const QString pointsTo = QFile::symLinkTarget(link);

        QVERIFY(SaveConfigFile(Raw(link), kSample));
        QCOMPARE(ReadFile(target), ConfigFileBytes(kSample));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFile::symLinkTarget(link), pointsTo);
        QCOMPARE(QFileInfo(Path("game/hop")).isSymLink(), chained);
        QCOMPARE(QDir(Path("data")).entryList(QDir::Files), QStringList{"settings.bin"});
    }

    void saveThroughADanglingLinkCreatesItsTarget() {
        QVERIFY(QFile::link("settings.bin", Path("Config.cfg")));
        QVERIFY(SaveConfigFile(Raw(Path("Config.cfg")), kSample));
        QVERIFY(QFileInfo(Path("Config.cfg")).isSymLink());
        QCOMPARE(ReadFile(Path("settings.bin")), ConfigFileBytes(kSample));
    }
};

QTEST_APPLESS_MAIN(ConfigFileTest)
#include "tst_ConfigFile.moc"
