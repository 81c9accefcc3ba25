// The exact end of MP3 files: wherever it comes from (the frame headers read directly, or the
// parser run to the end), it is the position where `filesrc ! mpegaudioparse` stops.
#include "ToneFiles.h"

#include "preview/GstHandles.h"
#include "preview/GstSetup.h"
#include "preview/Mp3End.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Where the parser ends the file, run here to the end without Mp3End.
std::int64_t ParserEnd(const std::string& path) {
    GError* rawError = nullptr;
    const media::ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(
        gst_parse_launch("filesrc name=in ! mpegaudioparse ! fakesink sync=false", &rawError))));
    const media::ErrorPtr error(rawError);
    const media::ElementPtr in(gst_bin_get_by_name(GST_BIN(pipeline.get()), "in"));
    g_object_set(in.get(), "location", path.c_str(), nullptr);
    const media::BusPtr bus(gst_element_get_bus(pipeline.get()));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const media::MessagePtr message(gst_bus_timed_pop_filtered(
        bus.get(), 10 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gint64 end = -1;
    if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS)
        gst_element_query_position(pipeline.get(), GST_FORMAT_TIME, &end);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return end;
}

bool Encode(const std::string& description, const std::string& path) {
    GError* rawError = nullptr;
    const media::ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(
        gst_parse_launch((description + " ! filesink name=out").c_str(), &rawError))));
    const media::ErrorPtr error(rawError);
    const media::ElementPtr out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    g_object_set(out.get(), "location", path.c_str(), nullptr);
    const media::BusPtr bus(gst_element_get_bus(pipeline.get()));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const media::MessagePtr message(gst_bus_timed_pop_filtered(
        bus.get(), 30 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS;
}

} // namespace

class Mp3EndTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(media::EnsureGstInit());
        std::string error;
        using testmedia::Encoding;
        QVERIFY2(testmedia::MakeMp3(Path("cbr.mp3"), 2, Encoding::Cbr, error), error.c_str());
        QVERIFY2(testmedia::MakeMp3(Path("vbr.mp3"), 3, Encoding::Vbr, error), error.c_str());
        QVERIFY2(testmedia::MakeMp3(Path("xing.mp3"), 2, Encoding::VbrXing, error), error.c_str());
        const std::string tone = "audiotestsrc num-buffers=2 samplesperbuffer=44100 ! ";
        QVERIFY(Encode(tone + "audio/x-raw,rate=22050,channels=1 ! lamemp3enc", Path("mono.mp3")));
        QVERIFY(Encode(tone + "audio/x-raw,rate=48000,channels=2 ! lamemp3enc target=bitrate "
                              "bitrate=192 cbr=true",
                       Path("48k.mp3")));
        QVERIFY(Encode(tone + "audio/x-raw,rate=8000,channels=1 ! lamemp3enc target=bitrate "
                              "bitrate=16 cbr=true",
                       Path("8k.mp3")));
        QVERIFY(Encode(tone + "audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! taginject "
                              "tags=\"title=Tone\" ! id3v2mux",
                       Path("id3v2.mp3")));
        const std::string cbr = testmedia::ReadBytes(Path("cbr.mp3"));
        QVERIFY(testmedia::WriteBytes(Path("id3v1.mp3"), cbr + "TAG" + std::string(125, ' ')));
        QVERIFY(testmedia::WriteBytes(Path("cut.mp3"), cbr.substr(0, cbr.size() / 2 + 100)));
        QVERIFY(testmedia::WriteBytes(Path("junk.mp3"), cbr + "some bytes after the end"));
        QVERIFY(
            testmedia::WriteBytes(Path("gap.mp3"), cbr.substr(0, 4000) + "gap" + cbr.substr(4000)));
    }

    void endIsWhereTheParserStops_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"cbr.mp3", "vbr.mp3", "xing.mp3", "mono.mp3", "48k.mp3", "8k.mp3",
                                 "id3v2.mp3", "id3v1.mp3", "cut.mp3", "junk.mp3", "gap.mp3"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void endIsWhereTheParserStops() {
        QFETCH(QString, name);
        const std::string path = Path(name.toLatin1().constData());
        const auto end = media::ExactMp3End(path);
        QVERIFY(end.has_value());
        QCOMPARE(*end, ParserEnd(path));
    }

    void notMpegAudioHasNoEnd() {
        QVERIFY(testmedia::WriteBytes(Path("text.mp3"), "just some words, not audio\n"));
        QVERIFY(testmedia::WriteBytes(Path("empty.mp3"), ""));
        std::string error;
        QVERIFY(!media::ExactMp3End(Path("text.mp3"), &error).has_value());
        QVERIFY(!error.empty());
        QVERIFY(!media::ExactMp3End(Path("empty.mp3")).has_value());
        QVERIFY(!media::ExactMp3End(Path("missing.mp3")).has_value());
    }
};

QTEST_MAIN(Mp3EndTest)
#include "tst_mp3end.moc"
