// The program itself, started in environments that are not a desktop session's: where there is
// no display, whichever platform is asked for (our line on standard error, after it Qt's own
// reason, and exit status 1 instead of an abort); with standard descriptors closed; and without
// a usable home or runtime folder (nothing written into the game folder but Config.cfg).
#include "support/ChildProcess.h"

#include "support/media/TestMedia.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

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

// Whether a file matching `pattern` (a wildcard in its last part) exists.
bool AnyExists(const QString& pattern) {
    const QFileInfo where(pattern);
    return !QDir(where.path(), where.fileName()).entryList(QDir::System | QDir::Files).isEmpty();
}

// Every name in `folder`, hidden ones and special files included: what a run left there.
QStringList NamesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Where the program's runtime folder is in each run: a private folder of the test's, not set at
// all, or set to a relative path, which names a folder in the game folder.
enum class Runtime { Private, Unset, Relative };

const QString kNoDisplayLine = QStringLiteral(
    "mirtconfig: no display available; start it from a desktop session or under Xvfb\n");

} // namespace

using testsupport::RunToTheEnd;

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

    // Our line comes before Qt's reason; what the platform's libraries and a debug output the
    // user asked for print comes before it, unchanged.
    void saysSoAndGivesQtsReason_data() {
        QTest::addColumn<QString>(
            "variables"); // NAME=value, by spaces; XDG_RUNTIME_DIR= a private one
        QTest::addColumn<QString>("plugin"); // the platform's plugin file; empty: none needed
        QTest::addColumn<QString>("device"); // a device that would make it a display
        QTest::addColumn<QString>("before"); // printed before our line
        QTest::addColumn<QString>("after");  // the whole of what follows it, as a pattern
        const QString noPlugin = QStringLiteral(
            "This application failed to start because no Qt platform plugin could be "
            "initialized\\..*\\nAvailable platform plugins are: .*offscreen.*\\n");
        const auto row = [&](const char* name, const char* variables, const char* plugin,
                             const char* device, const char* before, const QString& after) {
            QTest::newRow(name) << QString::fromLatin1(variables) << QString::fromLatin1(plugin)
                                << QString::fromLatin1(device) << QString::fromLatin1(before)
                                << after;
        };
        row("DISPLAY not set", "", "", "", "", noPlugin);
        row("DISPLAY names no server", "DISPLAY=:987", "", "", "could not connect to display",
            noPlugin);
        row("X11 asked for, DISPLAY not set", "QT_QPA_PLATFORM=xcb", "libqxcb.so", "", "",
            noPlugin);
        row("Wayland asked for, no runtime folder", "QT_QPA_PLATFORM=wayland",
            "libqwayland-generic.so", "", "", noPlugin);
        row("Wayland asked for, no compositor in the runtime folder",
            "QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR=", "libqwayland-generic.so", "", "", noPlugin);
        row("Wayland with EGL asked for", "QT_QPA_PLATFORM=wayland-egl", "libqwayland-egl.so", "",
            "", noPlugin);
        row("Wayland, then X11 asked for", "QT_QPA_PLATFORM=wayland;xcb", "libqwayland-generic.so",
            "", "", noPlugin);
        row("EGL full screen asked for, no graphics device", "QT_QPA_PLATFORM=eglfs",
            "libqeglfs.so", "/dev/dri/card*", "", QStringLiteral(".+"));
        // The start goes through and finds no screen: no reason of Qt's follows.
        row("Linux framebuffer asked for, no framebuffer", "QT_QPA_PLATFORM=linuxfb",
            "libqlinuxfb.so", "/dev/fb*", "", QString());
        row("a misspelt platform", "QT_QPA_PLATFORM=no-such-platform", "", "",
            "Could not find the Qt platform plugin \"no-such-platform\"", noPlugin);
        row("the plugins' debug output asked for", "QT_DEBUG_PLUGINS=1", "", "",
            "checking directory path", noPlugin);
    }
    void saysSoAndGivesQtsReason() {
        QFETCH(QString, variables);
        QFETCH(QString, plugin);
        QFETCH(QString, device);
        QFETCH(QString, before);
        QFETCH(QString, after);
        if (variables.contains(QStringLiteral("DISPLAY=:987")) &&
            QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X987")))
            QSKIP("an X server listens on :987 here");
        if (!plugin.isEmpty() && !AnyExists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                                            QStringLiteral("/platforms/") + plugin))
            QSKIP("the platform's plugin is not installed here");
        if (!device.isEmpty() && AnyExists(device))
            QSKIP("this machine has the device the platform draws on");
        const Scratch scratch;
        QVERIFY(scratch.made);
        QProcessEnvironment environment = WithoutDesktop(scratch.temporary);
        for (const QString& variable : variables.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString name = variable.section(QLatin1Char('='), 0, 0);
            const QString value = variable.section(QLatin1Char('='), 1);
            environment.insert(name,
                               name == QStringLiteral("XDG_RUNTIME_DIR") ? scratch.runtime : value);
        }

        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(scratch.game);
        program.start(QStringLiteral(MIRTCONFIG_BINARY), QStringList());
        QVERIFY(program.waitForStarted());
        QVERIFY2(RunToTheEnd(program, 60000), "the program did not end");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        const qsizetype line = errors.indexOf(kNoDisplayLine);
        QVERIFY2(line >= 0 && errors.indexOf(kNoDisplayLine, line + 1) < 0, qPrintable(errors));
        QVERIFY2(errors.left(line).contains(before), qPrintable(errors));
        const QRegularExpression reason(QStringLiteral("\\A") + after + QStringLiteral("\\z"),
                                        QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(reason.match(errors.mid(line + kNoDisplayLine.size())).hasMatch(),
                 qPrintable(errors));
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
        QCOMPARE(NamesIn(scratch.game), QStringList());
    }

    // The command line, started in the folder that holds the game folder ("game") and a file
    // ("file"); GAME is the game folder's absolute path. Without a display, a start that does not
    // end by itself would end with status 1; with one, the program works in the folder named.
    // A closed standard descriptor is opened on /dev/null before anything else can take its
    // number: an X connection that became descriptor 2 would receive Qt's warnings and hang.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status"); // -1: the settings window opens, in the game folder
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errors");
        QTest::addColumn<QList<int>>("closed"); // standard descriptors closed at the start
        const auto row = [](const char* name, const QStringList& arguments, int status,
                            const char* out, const char* errors, QList<int> closed = {}) {
            QTest::newRow(name) << arguments << status << QString::fromUtf8(out)
                                << QString::fromUtf8(errors) << closed;
        };
        const QString refused = "mirtconfig: unexpected argument %1; see mirtconfig --help\n";
        row("--help", {"--help"}, 0,
            "Usage: mirtconfig \\[GAME_FOLDER\\]\n       mirtconfig --choose-folder "
            "\\[GAME_FOLDER\\]\n       mirtconfig --help \\| --version\n(.+\n)+",
            "");
        row("--version", {"--version"}, 0, "mirtconfig 1\\.0\\.0\n", "");
        row("an unknown option", {"--bogus"}, 2, "", qPrintable(refused.arg("--bogus")));
        row("--choose-folder and an option", {"--choose-folder", "-x"}, 2, "",
            qPrintable(refused.arg("-x")));
        row("--help and a folder", {"--help", "game"}, 2, "", qPrintable(refused.arg("game")));
        row("two folders", {"GAME", "game"}, 2, "", qPrintable(refused.arg("game")));
        row("a folder that does not exist", {"missing"}, 2, "",
            "mirtconfig: cannot work in missing: No such file or directory\n");
        row("a file", {"--choose-folder", "file"}, 2, "",
            "mirtconfig: cannot work in file: Not a directory\n");
        row("a folder", {"GAME"}, -1, "", "");
        row("a folder named from the start folder", {"game"}, -1, "", "");
        row("--choose-folder and a folder", {"--choose-folder", "GAME"}, -1, "", "");
        row("standard error closed, no display", {"GAME"}, 1, "", "", {2});
        row("standard error closed", {"GAME"}, -1, "", "", {2});
        row("all three closed", {"GAME"}, -1, "", "", {0, 1, 2});
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, errors);
        QFETCH(QList<int>, closed);
        const Scratch scratch;
        QVERIFY(scratch.made);
        QVERIFY(QFile(scratch.root.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly));
        const QStringList before = NamesIn(scratch.root.path());
        arguments.replaceInStrings(QStringLiteral("GAME"), scratch.game);

        QProcessEnvironment environment = WithoutDesktop(scratch.temporary);
        environment.insert(QStringLiteral("HOME"), scratch.home);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), scratch.runtime);
        if (status < 0)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(scratch.root.path());
        program.setChildProcessModifier([closed] {
            for (int descriptor : closed)
                ::close(descriptor);
        });
        program.start(QStringLiteral(MIRTCONFIG_BINARY), arguments);
        QVERIFY(program.waitForStarted());
        if (status < 0) {
            const QString proc = QStringLiteral("/proc/%1/").arg(program.processId());
            QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(proc + "cwd").symLinkTarget(), scratch.game, 20000);
            for (int descriptor : closed)
                QTRY_COMPARE(QFileInfo(proc + "fd/" + QString::number(descriptor)).symLinkTarget(),
                             QStringLiteral("/dev/null"));
            QVERIFY(program.state() == QProcess::Running);
            RunToTheEnd(program, 0);
            return;
        }
        QVERIFY2(RunToTheEnd(program, 60000), "the program did not end");
        QCOMPARE(program.exitCode(), status);
        const auto matches = [](const QString& pattern, const QByteArray& text) {
            return QRegularExpression(QStringLiteral("\\A") + pattern + QStringLiteral("\\z"))
                .match(QString::fromLocal8Bit(text))
                .hasMatch();
        };
        const QByteArray printed = program.readAllStandardOutput();
        const QByteArray complaint = program.readAllStandardError();
        QVERIFY2(matches(out, printed), printed.constData());
        QVERIFY2(matches(errors, complaint), complaint.constData());
        QCOMPARE(NamesIn(scratch.root.path()), before);
        QCOMPARE(NamesIn(scratch.game), QStringList());
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
        QCOMPARE(NamesIn(work),
                 QStringList({QStringLiteral("Config.cfg"), QStringLiteral("Music")}));
        QCOMPARE(NamesIn(work + QStringLiteral("/Music")), QStringList(QStringLiteral("a.mp3")));
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
