// The program never loads a library from the folder it is started in, which is the game's and
// may hold anything: the built program and the installed one are started in a folder holding a
// planted library under the name of every library they load (Qt's, GLib's, GStreamer's, the
// media module's), and none of them is taken from there, nor even looked for there.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr char kModule[] = "libmirtconfig-media.so";

// What the dynamic loader said (LD_DEBUG=libs) while the program started in `folder`, up to the
// moment the media module had been loaded, which happens once its window has been painted.
QString StartUntilTheModuleIsLoaded(const QString& program, const QString& folder) {
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
    const QRegularExpression moduleInit(QStringLiteral("calling init: .*/") + kModule);
    QElapsedTimer clock;
    clock.start();
    while (!said.contains(moduleInit) && clock.elapsed() < 30000 &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(1000);
        said += QString::fromLocal8Bit(process.readAllStandardError());
    }
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
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

    void nothingIsLoadedFromTheWorkingFolder_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("built") << QStringLiteral(MIRTCONFIG_BINARY);
        QTest::newRow("installed") << m_install.filePath("usr/bin/mirtconfig");
    }
    void nothingIsLoadedFromTheWorkingFolder() {
        QFETCH(QString, program);
        const QString expectedModule =
            QFileInfo(QFileInfo(program).canonicalPath() + "/../lib/mirtconfig/" + kModule)
                .canonicalFilePath();
        QVERIFY2(!expectedModule.isEmpty(), "the module is not beside the program");

        QTemporaryDir clean;
        QVERIFY(clean.isValid());
        const QSet<QString> names = LoadedNames(StartUntilTheModuleIsLoaded(program, clean.path()));
        for (const char* expected : {"libQt6Widgets.so.6", "libglib-2.0.so.0", kModule})
            QVERIFY2(names.contains(expected), expected);

        // The same names, and the module where a path relative to the folder might look for it.
        QTemporaryDir game;
        QVERIFY(game.isValid());
        QVERIFY(QDir(game.path()).mkpath("lib/mirtconfig"));
        QStringList planted;
        for (const QString& name : names)
            planted << game.filePath(name);
        planted << game.filePath(QStringLiteral("lib/mirtconfig/") + kModule);
        for (const QString& path : planted)
            QVERIFY2(QFile::copy(QStringLiteral(MIRT_PLANTED_LIBRARY), path), qPrintable(path));

        const QString said = StartUntilTheModuleIsLoaded(program, game.path());
        for (const QString& path : planted)
            QVERIFY2(!QFileInfo::exists(path + ".LOADED"), qPrintable(path + " was loaded"));
        const QString lookedThere = QStringLiteral("trying file=") + game.path() + '/';
        QVERIFY2(!said.contains(lookedThere), "the loader looked into the working folder");
        QVERIFY2(!said.contains(QStringLiteral("trying file=./")) &&
                     !said.contains(QStringLiteral("trying file=lib")),
                 "the loader looked into the working folder");
        QVERIFY2(said.contains("calling init: " + expectedModule),
                 "the module was not loaded from beside the program");
    }
};

QTEST_GUILESS_MAIN(LibrarySearchTest)
#include "tst_LibrarySearch.moc"
