// The folder variables the program forgets at its start: an empty or relative HOME, TMPDIR or
// XDG base directory variable would name a folder inside the game folder.
#include "app/FolderVariables.h"

#include <QtTest>

class FolderVariablesTest : public QObject {
    Q_OBJECT
private slots:
    void keepsOnlyAbsoluteFolders_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("value"); // null: not set
        QTest::addColumn<QByteArray>("kept");  // null: unset at the start
        const QByteArray unset;
        QTest::newRow("HOME empty") << QByteArray("HOME") << QByteArray("") << unset;
        QTest::newRow("HOME relative") << QByteArray("HOME") << QByteArray("player") << unset;
        QTest::newRow("HOME absolute")
            << QByteArray("HOME") << QByteArray("/home/player") << QByteArray("/home/player");
        QTest::newRow("HOME not set") << QByteArray("HOME") << unset << unset;
        QTest::newRow("XDG_CACHE_HOME from the dot")
            << QByteArray("XDG_CACHE_HOME") << QByteArray("./cache") << unset;
        QTest::newRow("XDG_DATA_HOME with a tilde, which nothing expands")
            << QByteArray("XDG_DATA_HOME") << QByteArray("~/.local/share") << unset;
        QTest::newRow("XDG_CONFIG_HOME empty")
            << QByteArray("XDG_CONFIG_HOME") << QByteArray("") << unset;
        QTest::newRow("XDG_STATE_HOME absolute")
            << QByteArray("XDG_STATE_HOME") << QByteArray("/s") << QByteArray("/s");
        QTest::newRow("XDG_RUNTIME_DIR relative")
            << QByteArray("XDG_RUNTIME_DIR") << QByteArray("run/user/0") << unset;
        QTest::newRow("TMPDIR relative") << QByteArray("TMPDIR") << QByteArray("tmp") << unset;
        QTest::newRow("XDG_DATA_DIRS mixed")
            << QByteArray("XDG_DATA_DIRS") << QByteArray("share:/usr/local/share::./x:/usr/share:")
            << QByteArray("/usr/local/share:/usr/share");
        QTest::newRow("XDG_DATA_DIRS all absolute")
            << QByteArray("XDG_DATA_DIRS") << QByteArray("/a:/b") << QByteArray("/a:/b");
        QTest::newRow("XDG_CONFIG_DIRS only relative")
            << QByteArray("XDG_CONFIG_DIRS") << QByteArray("etc/xdg::.") << unset;
        QTest::newRow("XDG_CONFIG_DIRS empty")
            << QByteArray("XDG_CONFIG_DIRS") << QByteArray("") << unset;
    }
    void keepsOnlyAbsoluteFolders() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, kept);
        const bool wasSet = qEnvironmentVariableIsSet(name.constData());
        const QByteArray before = qgetenv(name.constData());
        if (value.isNull())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);

        ForgetRelativeFolderVariables();
        const bool isSet = qEnvironmentVariableIsSet(name.constData());
        const QByteArray after = qgetenv(name.constData());

        if (wasSet)
            qputenv(name.constData(), before);
        else
            qunsetenv(name.constData());
        QCOMPARE(isSet, !kept.isNull());
        QCOMPARE(after, kept.isNull() ? QByteArray() : kept);
    }
};

QTEST_GUILESS_MAIN(FolderVariablesTest)
#include "tst_FolderVariables.moc"
