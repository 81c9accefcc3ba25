// The program started where there is no display: one plain line on standard error and exit
// status 1, instead of the toolkit's warnings and an abort.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class NoDisplayTest : public QObject {
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
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                 "XDG_SESSION_TYPE", "QT_LOGGING_RULES", "QT_DEBUG_PLUGINS"})
            environment.remove(QString::fromLatin1(name));
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
};

QTEST_GUILESS_MAIN(NoDisplayTest)
#include "tst_NoDisplay.moc"
