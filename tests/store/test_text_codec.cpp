#include <QTest>

#include "store/text_codec.h"

using namespace trovix::store;

namespace {
std::string_view view(const QByteArray& b) {
    return {b.constData(), static_cast<std::size_t>(b.size())};
}
}  // namespace

class TestTextCodec : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void strictUtf8Validation() {
        QVERIFY(isValidUtf8(""));
        QVERIFY(isValidUtf8("plain ascii text, long enough for the word-at-a-time path"));
        QVERIFY(isValidUtf8(view(QStringLiteral("Zoë Núñez € 𝄞").toUtf8())));
        QVERIFY(isValidUtf8(std::string_view("a\0b", 3)));  // NUL is a character
        // Latin-1 bytes are not UTF-8: such a file is read as Windows-1252.
        QVERIFY(!isValidUtf8("caf\xE9 au lait"));
        QVERIFY(!isValidUtf8("\xC0\xAF"));          // overlong "/"
        QVERIFY(!isValidUtf8("\xE0\x80\xAF"));      // overlong, three bytes
        QVERIFY(!isValidUtf8("\xED\xA0\x80"));      // a lone surrogate
        QVERIFY(!isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
        QVERIFY(!isValidUtf8("abc\xE2\x82"));       // cut off at the end
        QVERIFY(!isValidUtf8("\x80"));              // stray continuation byte
        // An invalid byte after a run of ASCII still counts.
        QVERIFY(!isValidUtf8("0123456789abcdef0123456789\xFF"));
    }

    void everyWindows1252ByteRoundTrips() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) {
            all.append(static_cast<char>(b));
        }
        const QByteArray utf8 = windows1252ToUtf8(view(all));
        QVERIFY(isValidUtf8(view(utf8)));
        QCOMPARE(QString::fromUtf8(utf8).size(), 256);  // one character per byte
        QVERIFY(fitsWindows1252(view(utf8)));
        std::string back;
        appendAsWindows1252(view(utf8), back);
        QCOMPARE(QByteArray(back.data(), static_cast<qsizetype>(back.size())), all);
        // The code page's own letters decode to their characters.
        QCOMPARE(QString::fromUtf8(windows1252ToUtf8("\x80\x93\xE9")), QStringLiteral("€“é"));
    }

    void caseFoldingMatchesQt() {
        const QString text = QStringLiteral(
            "The QUICK brown Fox [@`{] JUMPS over Zoë, ÉLODIE and ΣΟΦΊΑ; ÀÉÎÕÜ Ÿ and 123 "
            "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz");
        const QByteArray utf8 = text.toUtf8();
        std::string folded;
        appendCaseFolded(view(utf8), folded);
        QCOMPARE(QString::fromStdString(folded), text.toCaseFolded());
    }

    void charactersOutsideTheCodePageAreDetected() {
        QVERIFY(fitsWindows1252(view(QStringLiteral("Müller € “quoted” ÿ").toUtf8())));
        QVERIFY(!fitsWindows1252(view(QStringLiteral("Łódź").toUtf8())));
        QVERIFY(!fitsWindows1252(view(QStringLiteral("emoji 😀").toUtf8())));
        // U+0080 is a control character the code page has no byte for (0x80 is the euro).
        QVERIFY(!fitsWindows1252(view(QString(QChar(0x80)).toUtf8())));
    }
};

QTEST_GUILESS_MAIN(TestTextCodec)
#include "test_text_codec.moc"
