// The program itself, started in environments that are not a desktop session's: where there is
// no display (one plain line on standard error and exit status 1, instead of the toolkit's
// warnings and an abort), and without a usable home folder (nothing written into the game
// folder).
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QProcessEnvironment WithoutDesktop() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "QT_LOGGING_RULES",
          "QT_DEBUG_PLUGINS", "GST_REGISTRY", "GST_DEBUG", "XDG_CACHE_HOME"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

} // namespace

class ProgramStartTest : public QObject {
    Q_OBJECT
private slots:
    void saysSoInOneLineAndEndsWithStatusOne_data() {
        QTest::addColumn<QString>("display");  // empty: not set
        QTest::addColumn<QString>("platform"); // empty: not set
        QTest::newRow("DISPLAY not set") << QString() << QString();
        QTest::newRow("DISPLAY names no server") << QStringLiteral(":987") << QString();
        QTest::newRow("X11 asked for, DISPLAY not set") << QString() << QStringLiteral("xcb");
    }
    void saysSoInOneLineAndEndsWithStatusOne() {
        QFETCH(QString, display);
        QFETCH(QString, platform);
        if (!display.isEmpty() && QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X987")))
            QSKIP("an X server listens on :987 here");
        QTemporaryDir work;
        QVERIFY(work.isValid());
        QProcessEnvironment environment = WithoutDesktop();
        if (!display.isEmpty())
            environment.insert(QStringLiteral("DISPLAY"), display);
        if (!platform.isEmpty())
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);

        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(work.path());
        program.start(QStringLiteral(MIRTCONFIG_BINARY), QStringList());
        QVERIFY(program.waitForStarted());
        if (!program.waitForFinished(60000)) {
            program.kill();
            program.waitForFinished();
            QFAIL("the program did not end");
        }
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(program.readAllStandardError(),
                 QByteArray("mirtconfig: no display available; start it from a desktop session or "
                            "under Xvfb\n"));
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
        QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // With HOME empty, GStreamer's cache folder would be ".cache" in the game folder. The
    // program keeps its plugin registry in the runtime folder instead, writes nothing where it
    // runs, and prints nothing.
    void anEmptyHomeWritesNothingIntoTheGameFolder() {
        QTemporaryDir work;
        QTemporaryDir runtime;
        QVERIFY(work.isValid() && runtime.isValid());
        QVERIFY(QFile::setPermissions(runtime.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QProcessEnvironment environment = WithoutDesktop();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), QString());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(work.path());
        program.start(QStringLiteral(MIRTCONFIG_BINARY), QStringList());
        QVERIFY(program.waitForStarted());
        // The media graph is built right after the first paint; GStreamer then writes its
        // registry for the first time.
        const QString registry = runtime.filePath("mirtconfig-gstreamer-registry.bin");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(registry), 30000);
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(
            QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
        QCOMPARE(program.readAllStandardError(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(ProgramStartTest)
#include "tst_ProgramStart.moc"
