// The program itself, started in environments that are not a desktop session's: where there is
// no display, whichever platform is asked for (one plain line on standard error and exit
// status 1, instead of the toolkit's and its libraries' lines and an abort), and without a
// usable home or runtime folder (nothing written into the game folder but Config.cfg).
#include "support/ChildProcess.h"

#include "support/media/TestMedia.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The test's own environment without a desktop session's variables, and with `temporary` as
// the temporary folder: the runtime folder Qt makes when none is set lands there.
QProcessEnvironment WithoutDesktop(const QString& temporary) {
    QProcessEnvironment environment = testsupport::ChildEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "QT_LOGGING_RULES",
          "QT_DEBUG_PLUGINS", "GST_REGISTRY", "GST_DEBUG", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("TMPDIR"), temporary);
    return environment;
}

// The folders of one run, each open to its owner only, as runtime folders must be: the game
// folder the program runs in, a temporary folder, a home and a runtime folder.
struct Scratch {
    QTemporaryDir root;
    QString game = Make("game");
    QString temporary = Make("tmp");
    QString home = Make("home");
    QString runtime = Make("runtime");
    bool made = root.isValid() && !game.isEmpty() && !temporary.isEmpty() && !home.isEmpty() &&
                !runtime.isEmpty();

    QString Make(const char* name) const {
        const QString path = root.filePath(QString::fromLatin1(name));
        const bool ok =
            root.isValid() && QDir().mkdir(path) &&
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return ok ? path : QString();
    }
};

bool IsPlatformPluginInstalled(const QString& file) {
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                             QStringLiteral("/platforms/") + file);
}

bool AnyExists(const QString& pattern) {
    const QFileInfo where(pattern);
    return !QDir(where.path(), where.fileName()).entryList(QDir::System | QDir::Files).isEmpty();
}

// Where the program's runtime folder is in each run: a private folder of the test's, not set at
// all, or set to a relative path, which names a folder in the game folder.
enum class Runtime { Private, Unset, Relative };

bool RunToTheEnd(QProcess& program, int milliseconds) {
    if (program.waitForFinished(milliseconds))
        return true;
    program.terminate();
    if (!program.waitForFinished(5000)) {
        program.kill();
        program.waitForFinished();
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Runtime)

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_media.isValid());
        m_track = m_media.filePath(QStringLiteral("a.mp3"));
        std::string error;
        QVERIFY2(testmedia::MakeMp3(m_track.toStdString(), 1, testmedia::Encoding::Cbr, error),
                 error.c_str());
    }

    void saysSoInOneLineAndEndsWithStatusOne_data() {
        QTest::addColumn<QString>("display");    // empty: not set
        QTest::addColumn<QString>("platform");   // empty: not set
        QTest::addColumn<QString>("plugin");     // the platform's plugin file; empty: none needed
        QTest::addColumn<bool>("runtimeFolder"); // XDG_RUNTIME_DIR names an empty private folder
        QTest::addColumn<QString>("device");     // a device that would make it a display
        const QString xcb = QStringLiteral("libqxcb.so");
        const QString wayland = QStringLiteral("libqwayland-generic.so");
        QTest::newRow("DISPLAY not set")
            << QString() << QString() << QString() << false << QString();
        QTest::newRow("DISPLAY names no server")
            << QStringLiteral(":987") << QString() << QString() << false << QString();
        QTest::newRow("X11 asked for, DISPLAY not set")
            << QString() << QStringLiteral("xcb") << xcb << false << QString();
        QTest::newRow("Wayland asked for, no runtime folder")
            << QString() << QStringLiteral("wayland") << wayland << false << QString();
        QTest::newRow("Wayland asked for, no compositor in the runtime folder")
            << QString() << QStringLiteral("wayland") << wayland << true << QString();
        QTest::newRow("Wayland with EGL asked for")
            << QString() << QStringLiteral("wayland-egl") << QStringLiteral("libqwayland-egl.so")
            << false << QString();
        QTest::newRow("Wayland, then X11 asked for")
            << QString() << QStringLiteral("wayland;xcb") << wayland << false << QString();
        QTest::newRow("EGL full screen asked for, no graphics device")
            << QString() << QStringLiteral("eglfs") << QStringLiteral("libqeglfs.so") << false
            << QStringLiteral("/dev/dri/card*");
        QTest::newRow("Linux framebuffer asked for, no framebuffer")
            << QString() << QStringLiteral("linuxfb") << QStringLiteral("libqlinuxfb.so") << false
            << QStringLiteral("/dev/fb*");
        QTest::newRow("a platform that does not exist")
            << QString() << QStringLiteral("no-such-platform") << QString() << false << QString();
    }
    void saysSoInOneLineAndEndsWithStatusOne() {
        QFETCH(QString, display);
        QFETCH(QString, platform);
        QFETCH(QString, plugin);
        QFETCH(bool, runtimeFolder);
        QFETCH(QString, device);
        if (!display.isEmpty() && QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X987")))
            QSKIP("an X server listens on :987 here");
        if (!plugin.isEmpty() && !IsPlatformPluginInstalled(plugin))
            QSKIP("the platform's plugin is not installed here");
        if (!device.isEmpty() && AnyExists(device))
            QSKIP("this machine has the device the platform draws on");
        const Scratch scratch;
        QVERIFY(scratch.made);
        const QString& work = scratch.game;
        QProcessEnvironment environment = WithoutDesktop(scratch.temporary);
        if (!display.isEmpty())
            environment.insert(QStringLiteral("DISPLAY"), display);
        if (!platform.isEmpty())
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        if (runtimeFolder)
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), scratch.runtime);

        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(work);
        program.start(QStringLiteral(MIRTCONFIG_BINARY), QStringList());
        QVERIFY(program.waitForStarted());
        QVERIFY2(RunToTheEnd(program, 60000), "the program did not end");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(program.readAllStandardError(),
                 QByteArray("mirtconfig: no display available; start it from a desktop session or "
                            "under Xvfb\n"));
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
        QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // With HOME empty, GLib's cache folder is ".cache"; a relative XDG_CACHE_HOME or
    // XDG_RUNTIME_DIR names a folder in the game folder; and without XDG_RUNTIME_DIR, GLib's
    // runtime folder is the cache folder, which it makes. A run that opens the MP3 options
    // window, plays and saves leaves nothing in the game folder but Config.cfg and prints
    // nothing but Qt's notice of a missing runtime folder.
    void leavesOnlyConfigCfgInTheGameFolder_data() {
        QTest::addColumn<bool>("homeEmpty");
        QTest::addColumn<bool>("cacheRelative");
        QTest::addColumn<Runtime>("runtime");
        const std::pair<Runtime, const char*> runtimes[] = {
            {Runtime::Private, "XDG_RUNTIME_DIR private"},
            {Runtime::Unset, "XDG_RUNTIME_DIR not set"},
            {Runtime::Relative, "XDG_RUNTIME_DIR relative"}};
        for (const bool homeEmpty : {false, true}) {
            for (const bool cacheRelative : {false, true}) {
                for (const auto& [runtime, runtimeName] : runtimes) {
                    const QByteArray name = QByteArray(homeEmpty ? "HOME empty" : "HOME usable") +
                                            (cacheRelative ? ", XDG_CACHE_HOME relative" : "") +
                                            ", " + runtimeName;
                    QTest::newRow(name.constData()) << homeEmpty << cacheRelative << runtime;
                }
            }
        }
    }
    void leavesOnlyConfigCfgInTheGameFolder() {
        QFETCH(bool, homeEmpty);
        QFETCH(bool, cacheRelative);
        QFETCH(Runtime, runtime);
        const Scratch scratch;
        QVERIFY(scratch.made);
        const QString& work = scratch.game;
        QVERIFY(QDir(work).mkdir(QStringLiteral("Music")));
        QVERIFY(QFile::copy(m_track, work + QStringLiteral("/Music/a.mp3")));

        QProcessEnvironment environment = WithoutDesktop(scratch.temporary);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (homeEmpty) {
            // Without HOME, GLib takes the home folder from the user database, which is no
            // folder of the test's: GStreamer keeps its registry in one of the test's instead.
            environment.insert(QStringLiteral("HOME"), QString());
            environment.insert(QStringLiteral("GST_REGISTRY"),
                               scratch.root.filePath(QStringLiteral("registry.bin")));
        } else {
            // GStreamer finds its registry's place by itself, in this home's cache folder.
            environment.insert(QStringLiteral("HOME"), scratch.home);
        }
        if (cacheRelative)
            environment.insert(QStringLiteral("XDG_CACHE_HOME"), QStringLiteral("cache"));
        if (runtime == Runtime::Private)
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), scratch.runtime);
        else if (runtime == Runtime::Relative)
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("runtime"));

        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(work);
        program.start(QStringLiteral(MIRT_SCRIPTED_PROGRAM),
                      {QStringLiteral("--sink"), QStringLiteral("fakesink"),
                       QStringLiteral("play-and-save")});
        QVERIFY(program.waitForStarted());
        QVERIFY2(RunToTheEnd(program, 60000), "the program did not end");
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                 errors.constData());
        QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                      QDir::NoDotAndDotDot),
                 QStringList({QStringLiteral("Config.cfg"), QStringLiteral("Music")}));
        QCOMPARE(
            QDir(work + QStringLiteral("/Music"))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList(QStringLiteral("a.mp3")));
        if (!homeEmpty) {
            const QDir cache(scratch.home + QStringLiteral("/.cache/gstreamer-1.0"));
            QVERIFY(!cache.entryList({QStringLiteral("registry.*.bin")}, QDir::Files).isEmpty());
        }
        if (runtime == Runtime::Private) {
            QCOMPARE(errors, QByteArray());
        } else {
            // Qt's start makes a runtime folder of its own in the temporary folder, and says so.
            const QRegularExpression notice(
                QStringLiteral("\\AQStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '") +
                QRegularExpression::escape(QDir(scratch.temporary).canonicalPath()) +
                QStringLiteral("/runtime-[^/']+'\n\\z"));
            QVERIFY2(notice.match(QString::fromLocal8Bit(errors)).hasMatch(), errors.constData());
        }
    }

private:
    QTemporaryDir m_media;
    QString m_track; // a one-second MP3 that every run copies into its Music folder
};

QTEST_GUILESS_MAIN(ProgramStartTest)
#include "tst_ProgramStart.moc"
