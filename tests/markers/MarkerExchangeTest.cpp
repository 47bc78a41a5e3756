// Marker export and import: the bytes each format gets, what each reader
// accepts and refuses (with file and line), and round trips.

#include "timeline/MarkerExchange.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const TMarkerList kSample{
    {0.0, QStringLiteral("Intro")},
    {83.456, QStringLiteral("Verse, über \"Brücken\"")},
    {125.5, QStringLiteral("")},
};
const MarkerExportContext kContext{QStringLiteral("/music/Song One.mp3"), 200.0};

QString Exported(MarkerFormat format, const TMarkerList& markers = kSample,
                 const MarkerExportContext& context = kContext) {
    return QString::fromUtf8(ExportMarkers(format, markers, context));
}

// The message an import throws, or "<imported>" when it went through.
QString ImportError(const QByteArray& bytes) {
    try {
        ImportMarkers(bytes, QStringLiteral("in.txt"));
    } catch (const MarkerExchangeError& e) {
        return e.message();
    }
    return QStringLiteral("<imported>");
}

TEST(MarkerExport, EachFormatsBytes) {
    struct Case {
        MarkerFormat format;
        const char* expected;
    };
    const Case cases[] = {
        {MarkerFormat::Audacity,
         "0.000000\t0.000000\tIntro\n"
         "83.456000\t83.456000\tVerse, über \"Brücken\"\n"
         "125.500000\t125.500000\t\n"},
        {MarkerFormat::Cue,
         "FILE \"Song One.mp3\" MP3\n"
         "  TRACK 01 AUDIO\n    TITLE \"Intro\"\n    INDEX 01 00:00:00\n"
         // 83.456 s is 6259.2 frames: rounded to 6259 = 01:23:34.
         "  TRACK 02 AUDIO\n    TITLE \"Verse, über 'Brücken'\"\n    INDEX 01 01:23:34\n"
         "  TRACK 03 AUDIO\n    TITLE \"\"\n    INDEX 01 02:05:38\n"},
        {MarkerFormat::FfMetadata,
         ";FFMETADATA1\n"
         "[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=83456\ntitle=Intro\n"
         "[CHAPTER]\nTIMEBASE=1/1000\nSTART=83456\nEND=125500\ntitle=Verse, über \"Brücken\"\n"
         "[CHAPTER]\nTIMEBASE=1/1000\nSTART=125500\nEND=200000\ntitle=\n"},
        {MarkerFormat::Timestamps, "00:00 Intro\n01:23 Verse, über \"Brücken\"\n02:05 \n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Exported(c.format), QString::fromUtf8(c.expected)) << MarkerFormatName(c.format).toStdString();
}

TEST(MarkerExport, SortsAndKeepsEachMarkerOnItsLine) {
    const TMarkerList unsorted{{5, QStringLiteral("b\tc\nd")}, {1, QStringLiteral("a=;#\\")}};
    EXPECT_EQ(Exported(MarkerFormat::Audacity, unsorted),
              QStringLiteral("1.000000\t1.000000\ta=;#\\\n5.000000\t5.000000\tb c d\n"));
    EXPECT_EQ(Exported(MarkerFormat::Timestamps, unsorted), QStringLiteral("00:01 a=;#\\\n00:05 b c d\n"));
    // FFmpeg's escapes keep the break inside the value.
    EXPECT_TRUE(Exported(MarkerFormat::FfMetadata, unsorted).contains(QStringLiteral("title=a\\=\\;\\#\\\\\n")));
    EXPECT_TRUE(Exported(MarkerFormat::FfMetadata, unsorted).contains(QStringLiteral("title=b\tc\\\nd\n")));
}

TEST(MarkerExport, TimestampsShowHoursForAnHourOrMore) {
    struct Case {
        double duration;
        double time;
        const char* expected;
    };
    const Case cases[] = {
        {3599.9, 3599.9, "59:59 x\n"},        // whole seconds, cut down
        {3600.0, 61.0, "00:01:01 x\n"},       // the file's length decides
        {0.0, 3725.0, "01:02:05 x\n"},        // unknown length: the last marker decides
        {36000.0, 35999.0, "09:59:59 x\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Exported(MarkerFormat::Timestamps, {{c.time, QStringLiteral("x")}}, {QString(), c.duration}),
                  QString::fromLatin1(c.expected))
            << c.time;
}

TEST(MarkerExport, CueFramesAndFileTypes) {
    struct Case {
        const char* audio;
        double time;
        const char* fileLine;
        const char* index;
    };
    const Case cases[] = {
        {"a.mp3", 0.9934, "FILE \"a.mp3\" MP3", "00:01:00"},  // 74.5 frames round up into the next second
        {"a.wav", 0.9866, "FILE \"a.wav\" WAVE", "00:00:74"},
        {"a.flac", 6000.0, "FILE \"a.flac\" WAVE", "100:00:00"},  // minutes run past 99
        {"b \"q\".aiff", 1.0 / 75, "FILE \"b 'q'.aiff\" AIFF", "00:00:01"},
    };
    for (const Case& c : cases) {
        const QString cue = Exported(MarkerFormat::Cue, {{c.time, QStringLiteral("t")}}, {QString::fromUtf8(c.audio), 0});
        EXPECT_TRUE(cue.startsWith(QString::fromUtf8(c.fileLine) + u'\n')) << cue.toStdString();
        EXPECT_TRUE(cue.contains(QStringLiteral("INDEX 01 ") + QString::fromLatin1(c.index))) << cue.toStdString();
    }
}

TEST(MarkerExport, RefusesWhatTheFormatCannotHold) {
    TMarkerList hundred;
    for (int i = 0; i < 100; ++i)
        hundred.append({double(i), QString()});
    EXPECT_THROW(ExportMarkers(MarkerFormat::Cue, hundred, kContext), MarkerExchangeError);
    hundred.removeLast();
    EXPECT_NO_THROW(ExportMarkers(MarkerFormat::Cue, hundred, kContext));
    for (const MarkerFormat format : kMarkerFormats)
        for (const double time : {-0.5, 2e9, std::nan("")})
            EXPECT_THROW(ExportMarkers(format, {{time, QStringLiteral("outside")}}, kContext), MarkerExchangeError)
                << MarkerFormatName(format).toStdString() << " " << time;
}

TEST(MarkerExport, PodcastJsonFields) {
    EXPECT_EQ(Exported(MarkerFormat::PodcastJson, {{83.4564, QStringLiteral("A")}}),
              QStringLiteral("{\n    \"chapters\": [\n        {\n            \"startTime\": 83.456,\n"
                             "            \"title\": \"A\"\n        }\n    ],\n    \"version\": \"1.2.0\"\n}\n"));
}

TEST(MarkerImport, ReadsEachFormatFromItsContent) {
    struct Case {
        const char* content;
        MarkerFormat format;
        TMarkerList expected;
    };
    const Case cases[] = {
        {"1.5\t1.5\tIntro\n2,25\t9\tregion label\n\\\t100\t2000\n3\t3\t\n", MarkerFormat::Audacity,
         {{1.5, "Intro"}, {2.25, "region label"}, {3, ""}}},
        {"\xEF\xBB\xBFREM GENRE Pop\r\nPERFORMER \"X\"\r\nTITLE \"Album\"\r\nFILE \"a.wav\" WAVE\r\n"
         "  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n    INDEX 00 00:00:00\r\n    INDEX 01 00:02:00\r\n"
         "  TRACK 02 AUDIO\r\n    TITLE Two\r\n    INDEX 01 61:01:74\r\n",
         MarkerFormat::Cue, {{2, "One"}, {3661 + 74.0 / 75, "Two"}}},
        {";FFMETADATA1\ntitle=The album\n[STREAM]\ntitle=x\n[CHAPTER]\nTIMEBASE=1/44100\nSTART=44100\n"
         "END=88200\ntitle=Eins \\= one\\\nline two\n\n[CHAPTER]\nSTART=2500000000\n",
         MarkerFormat::FfMetadata, {{1, "Eins = one\nline two"}, {2.5, ""}}},
        {"  {\"version\": \"1.2.0\", \"chapters\": [{\"startTime\": 0, \"title\": \"A\"},\n"
         "{\"startTime\": 12.5, \"endTime\": 20, \"toc\": false}]}",
         MarkerFormat::PodcastJson, {{0, "A"}, {12.5, ""}}},
        {"\n00:00 Intro\n1:02:03 - Part two\n[12:30] Outro\n(7:05.5) | half\n", MarkerFormat::Timestamps,
         {{0, "Intro"}, {3723, "Part two"}, {750, "Outro"}, {425.5, "half"}}},
    };
    for (const Case& c : cases) {
        const ImportedMarkers got = ImportMarkers(QByteArray(c.content), QStringLiteral("in"));
        EXPECT_EQ(got.format, c.format) << c.content;
        ASSERT_EQ(got.markers.size(), c.expected.size()) << c.content;
        for (int i = 0; i < got.markers.size(); ++i) {
            EXPECT_NEAR(got.markers[i].Time, c.expected[i].Time, 1e-9) << c.content;
            EXPECT_EQ(got.markers[i].Description, c.expected[i].Description) << c.content;
        }
    }
}

TEST(MarkerImport, BadInputNamesFileAndLine) {
    struct Case {
        const char* content;
        const char* message;
    };
    const Case cases[] = {
        {"", "in.txt: the file is empty"},
        {"Chapters:\n00:00 Intro\n", "in.txt, line 1: this is none of the marker formats"},
        {"1\t1\ta\nx\t2\tb\n", "in.txt, line 2: 'x' is not a label start time"},
        {"1\t1\ta\n-2\t2\tb\n", "in.txt, line 2: '-2' is not a label start time"},
        {"1\tend\ta\n", "in.txt, line 1: 'end' is not a label end time"},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:61:00\n",
         "in.txt, line 3: 'INDEX 01 00:61:00' holds seconds over 59"},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:01:75\n",
         "in.txt, line 3: 'INDEX 01 00:01:75' holds seconds over 59 or frames over 74"},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"x\"\n  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n",
         "in.txt, line 2: the track has no INDEX 01"},
        {"FILE \"a.wav\" WAVE\nFILE \"b.wav\" WAVE\n", "in.txt, line 2: the sheet names more than one audio file"},
        {"FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"open\n", "in.txt, line 3: the quoted text has no closing"},
        {"TITLE \"x\"\nBOGUS 1\n", "in.txt, line 2: 'BOGUS' is no CUE sheet command"},
        {";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nEND=5\n", "in.txt, line 2: the chapter has no START"},
        {";FFMETADATA1\n[CHAPTER]\nTIMEBASE=0/1000\nSTART=5\n", "in.txt, line 3: '0/1000' is no time base"},
        {";FFMETADATA1\n[CHAPTER]\nSTART=-5\n", "in.txt, line 3: '-5' is no chapter start"},
        {";FFMETADATA1\n[CHAPTER]\nnonsense\n", "in.txt, line 3: 'nonsense' is no key=value line"},
        {"{\"chapters\": [\n{\"startTime\": 1,}\n]}", "in.txt, line 2: "},
        {"{\"version\": \"1.2.0\"}", "in.txt: the JSON holds no \"chapters\" list"},
        {"{\"chapters\": [{\"startTime\": 1}, {\"title\": \"x\"}]}", "in.txt: chapter 2 has no \"startTime\""},
        {"{\"chapters\": [{\"startTime\": \"1\"}]}", "in.txt: chapter 1 has no \"startTime\""},
        {"{\"chapters\": [{\"startTime\": 1, \"title\": 5}]}", "in.txt: the \"title\" of chapter 1 is no text"},
        {"00:00 Intro\nsee you\n", "in.txt, line 2: 'see you' does not start with a time"},
        {"00:00 Intro\n00:75 Late\n", "in.txt, line 2: '00:75 Late' holds minutes or seconds over 59"},
        {"00:00 Intro\n1:75:00 Late\n", "in.txt, line 2: '1:75:00 Late' holds minutes or seconds over 59"},
    };
    for (const Case& c : cases) {
        const QString message = ImportError(QByteArray(c.content));
        EXPECT_TRUE(message.startsWith(QString::fromUtf8(c.message))) << c.content << "\n -> " << message.toStdString();
    }
}

TEST(MarkerImport, MergeKeepsMarkersAlreadyAtThatTime) {
    TMarkerList markers{{10, QStringLiteral("mine")}, {20, QStringLiteral("mine too")}};
    const TMarkerList imported{
        {10.00009, QStringLiteral("closer than the duplicate distance")},
        {5, QStringLiteral("new")},
        {20.00011, QStringLiteral("far enough")},
        {5.00001, QStringLiteral("duplicate inside the file")},
    };
    EXPECT_EQ(MergeImportedMarkers(markers, imported), 2);
    ASSERT_EQ(markers.size(), 4);
    const QStringList descriptions{markers[0].Description, markers[1].Description, markers[2].Description,
                                   markers[3].Description};
    EXPECT_EQ(descriptions, QStringList({"new", "mine", "mine too", "far enough"}));
}

TEST(MarkerImport, RoundTripsWithinEachFormatsResolution) {
    const TMarkerList markers{
        {0.0, QStringLiteral("Start")},
        {1.2345678, QStringLiteral("Zwischen, \"quoted\" = ; # \\ part")},
        {754.321, QStringLiteral("")},
        {3723.999, QStringLiteral("Late; in the hour")},
    };
    struct Case {
        MarkerFormat format;
        double resolution;   // how far a time may move
        bool quotesKept;
    };
    const Case cases[] = {
        {MarkerFormat::Audacity, 0.5e-6, true},
        {MarkerFormat::Cue, 0.5 / 75, false},
        {MarkerFormat::FfMetadata, 0.5e-3, true},
        {MarkerFormat::PodcastJson, 0.5e-3, true},
        {MarkerFormat::Timestamps, 1.0, true},
    };
    for (const Case& c : cases) {
        const ImportedMarkers back = ImportMarkers(ExportMarkers(c.format, markers, kContext), QStringLiteral("x"));
        EXPECT_EQ(back.format, c.format);
        ASSERT_EQ(back.markers.size(), markers.size()) << MarkerFormatName(c.format).toStdString();
        for (int i = 0; i < markers.size(); ++i) {
            EXPECT_LE(std::abs(back.markers[i].Time - markers[i].Time), c.resolution + 1e-9)
                << MarkerFormatName(c.format).toStdString() << " " << i;
            QString expected = markers[i].Description;
            if (!c.quotesKept)
                expected.replace(u'"', u'\'');
            EXPECT_EQ(back.markers[i].Description, expected) << MarkerFormatName(c.format).toStdString();
        }
    }
}

TEST(MarkerFormats, NamesAndExportFileTypes) {
    for (const MarkerFormat format : kMarkerFormats)
        EXPECT_EQ(MarkerFormatFromName(MarkerFormatName(format)), format);
    EXPECT_FALSE(MarkerFormatFromName(QStringLiteral("CUE")).has_value());
    struct Case {
        const char* name;
        MarkerFormat chosen;
        MarkerFormat expected;
    };
    const Case cases[] = {
        {"a/labels.txt", MarkerFormat::Timestamps, MarkerFormat::Timestamps},
        {"a/labels.txt", MarkerFormat::Audacity, MarkerFormat::Audacity},
        {"a/disc.CUE", MarkerFormat::Audacity, MarkerFormat::Cue},
        {"a/chapters.json", MarkerFormat::Timestamps, MarkerFormat::PodcastJson},
        {"a/x.ffmetadata", MarkerFormat::Cue, MarkerFormat::FfMetadata},
        {"a/noext", MarkerFormat::Cue, MarkerFormat::Cue},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MarkerFormatForExportName(QString::fromUtf8(c.name), c.chosen), c.expected) << c.name;
}

}  // namespace
