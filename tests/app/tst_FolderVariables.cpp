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
        const auto row = [](const char* name, const char* variable, QByteArray value,
                            QByteArray kept) {
            QTest::newRow(name) << QByteArray(variable) << value << kept;
        };
        row("HOME empty", "HOME", "", unset);
        row("HOME relative", "HOME", "player", unset);
        row("HOME absolute", "HOME", "/home/player", "/home/player");
        row("HOME not set", "HOME", unset, unset);
        row("XDG_CACHE_HOME from the dot", "XDG_CACHE_HOME", "./cache", unset);
        row("XDG_DATA_HOME with a tilde, which nothing expands", "XDG_DATA_HOME", "~/.local/share",
            unset);
        row("XDG_CONFIG_HOME empty", "XDG_CONFIG_HOME", "", unset);
        row("XDG_STATE_HOME absolute", "XDG_STATE_HOME", "/s", "/s");
        row("XDG_RUNTIME_DIR relative", "XDG_RUNTIME_DIR", "run/user/0", unset);
        row("TMPDIR relative", "TMPDIR", "tmp", unset);
        row("XDG_DATA_DIRS mixed", "XDG_DATA_DIRS",
            "share:/usr/local/share::./x:/usr/share:", "/usr/local/share:/usr/share");
        row("XDG_DATA_DIRS all absolute", "XDG_DATA_DIRS", "/a:/b", "/a:/b");
        row("XDG_CONFIG_DIRS only relative", "XDG_CONFIG_DIRS", "etc/xdg::.", unset);
        row("XDG_CONFIG_DIRS empty", "XDG_CONFIG_DIRS", "", unset);
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
