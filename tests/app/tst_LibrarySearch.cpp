// The program never loads a library from the folder it is started in, which is the game's and
// may hold anything: the built program and the installed one are started in a folder holding a
// planted library under the name of every library they load (Qt's, GLib's, GStreamer's and its
// plugins'), and none of them is taken from there, nor even looked for there.
#include "support/ChildProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A GStreamer plugin the preview's graph loads when it is built, after the window's first paint.
constexpr char kPlugin[] = "libgstaudioconvert.so";

// What the dynamic loader said (LD_DEBUG=libs) while the program started in `folder`, up to the
// moment the preview's graph had been built.
QString StartUntilTheGraphIsBuilt(const QString& program, const QString& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
    environment.remove(QStringLiteral("LD_PRELOAD"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, QStringList());
    if (!process.waitForStarted())
        return {};
    QString said;
    const QRegularExpression pluginInit(QStringLiteral("calling init: .*/") + kPlugin);
    QElapsedTimer clock;
    clock.start();
    while (!said.contains(pluginInit) && clock.elapsed() < 30000 &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(1000);
        said += QString::fromLocal8Bit(process.readAllStandardError());
    }
    testsupport::RunToTheEnd(process, 0);
    return said + QString::fromLocal8Bit(process.readAllStandardError());
}

// The bare names of the libraries the loader was asked for or initialised.
QSet<QString> LoadedNames(const QString& said) {
    QSet<QString> names;
    static const QRegularExpression line(
        QStringLiteral(R"((?:find library=|calling init: )(\S+))"));
    for (auto match = line.globalMatch(said); match.hasNext();)
        names.insert(QFileInfo(match.next().captured(1)).fileName());
    names.remove(QString());
    return names;
}

} // namespace

class LibrarySearchTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_install;

private slots:
    void initTestCase() {
        QVERIFY(m_install.isValid());
        QProcess install;
        install.start(QStringLiteral(MIRT_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(MIRT_BUILD_DIR),
                       QStringLiteral("--prefix"), m_install.filePath("usr")});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }

    // The program is also copied into the planted folder itself, as into a world-writable one.
    void nothingIsLoadedFromTheWorkingFolder_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("copied");
        QTest::newRow("built") << QStringLiteral(MIRTCONFIG_BINARY) << false;
        QTest::newRow("installed") << m_install.filePath("usr/games/mirtconfig") << false;
        QTest::newRow("a copy among the libraries") << QStringLiteral(MIRTCONFIG_BINARY) << true;
    }
    void nothingIsLoadedFromTheWorkingFolder() {
        QFETCH(QString, program);
        QFETCH(bool, copied);
        QTemporaryDir clean;
        QVERIFY(clean.isValid());
        const QSet<QString> names = LoadedNames(StartUntilTheGraphIsBuilt(program, clean.path()));
        for (const char* expected :
             {"libQt6Widgets.so.6", "libglib-2.0.so.0", "libgstreamer-1.0.so.0", kPlugin})
            QVERIFY2(names.contains(expected), expected);

        QTemporaryDir game;
        QVERIFY(game.isValid());
        QStringList planted;
        for (const QString& name : names)
            planted << game.filePath(name);
        for (const QString& path : planted)
            QVERIFY2(QFile::copy(QStringLiteral(MIRT_PLANTED_LIBRARY), path), qPrintable(path));

        if (copied) {
            const QString copy = game.filePath(QStringLiteral("mirtconfig"));
            QVERIFY(QFile::copy(program, copy));
            program = copy;
        }
        const QString said = StartUntilTheGraphIsBuilt(program, game.path());
        for (const QString& path : planted)
            QVERIFY2(!QFileInfo::exists(path + ".LOADED"), qPrintable(path + " was loaded"));
        const QString lookedThere = QStringLiteral("trying file=") + game.path() + '/';
        QVERIFY2(!said.contains(lookedThere), "the loader looked into the working folder");
        QVERIFY2(!said.contains(QStringLiteral("trying file=./")) &&
                     !said.contains(QStringLiteral("trying file=lib")),
                 "the loader looked into the working folder");
        QVERIFY2(said.contains(QRegularExpression(QStringLiteral("calling init: /.*/") + kPlugin)),
                 "the preview's graph was not built");
    }
};

QTEST_GUILESS_MAIN(LibrarySearchTest)
#include "tst_LibrarySearch.moc"
