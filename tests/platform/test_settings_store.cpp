#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/qt/qt_settings_store.h"

using namespace trovix::platform;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A second store on a copy of the file: QSettings caches a parsed file per path inside the
// process, and a new name makes it really parse the text on disk.
std::unique_ptr<QtSettingsStore> reread(const QString& path) {
    const QString copy = path + ".copy.ini";
    QFile::remove(copy);
    return QFile::copy(path, copy) ? std::make_unique<QtSettingsStore>(copy) : nullptr;
}

}  // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void valuesAndSectionsSurviveTheFileExactly() {
        // Text that an INI file could garble: lists, blanks, comments, escapes, markers.
        const QStringList values =
            QStringLiteral(
                "a, b, c|100,200|  leading and trailing  |key=value; not a comment|"
                "#hash|Zo\u00eb \u6771\u4eac||@Variant(1)|\"quoted\"|line one\nline two")
                .split(u'|');
        QTemporaryDir dir;
        const QString path = dir.filePath("written.ini");
        {
            QtSettingsStore store(path);
            QVERIFY(!store.value("Odd Section", "Key 0").has_value());
            store.setValue("Odd Section", "Key 0", "overwritten");
            for (int i = 0; i < values.size(); ++i) {
                store.setValue("Odd Section", QString("Key %1").arg(i), values[i]);
            }
            // Removing a section takes only its own keys, and says whether it held any.
            store.setValue("Gone", "Key", "1");
            QVERIFY(!store.removeSection("Nothing"));
            QVERIFY(store.removeSection("Gone"));
            QVERIFY(!store.value("Gone", "Key").has_value());
            QVERIFY(store.sync());
        }
        const auto copy = reread(path);
        QVERIFY(copy);
        for (int i = 0; i < values.size(); ++i) {
            QCOMPARE(copy->value("Odd Section", QString("Key %1").arg(i)),
                     std::optional<QString>(values[i]));
        }
        QVERIFY(!copy->value("Gone", "Key").has_value());
        QVERIFY(!copy->value("Odd Section", "Other").has_value());
    }

    void handEditedListsKeepTheirText() {
        QTemporaryDir dir;
        const QString path = dir.filePath("hand.ini");
        writeFile(path, "[Window]\nPosition=100,200\nName=Smith, John\nQuoted=\"x, y\"\n");
        QtSettingsStore store(path);
        QCOMPARE(store.value("Window", "Position"), std::optional<QString>("100, 200"));
        QCOMPARE(store.value("Window", "Name"), std::optional<QString>("Smith, John"));
        QCOMPARE(store.value("Window", "Quoted"), std::optional<QString>("x, y"));
    }

    void syncReportsEachAttemptAndKeepsWhatFailed() {
        QTemporaryDir dir;
        // A plain file where the settings folder should be: no one, not even root, can write.
        const QString folder = dir.filePath("settings");
        writeFile(folder, "in the way");
        const QString path = folder + "/trovix.ini";
        QtSettingsStore store(path);
        store.setValue("Main", "Before", "1");
        QVERIFY(!store.sync());

        QVERIFY(QFile::remove(folder) && QDir().mkpath(folder));
        store.setValue("Main", "After", "2");
        QVERIFY(store.sync());
        const auto copy = reread(path);
        QVERIFY(copy);
        QCOMPARE(copy->value("Main", "Before"), std::optional<QString>("1"));
        QCOMPARE(copy->value("Main", "After"), std::optional<QString>("2"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"
