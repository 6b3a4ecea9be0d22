#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTest>

namespace trovix::testing {

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A file dated this long ago shows any later write by its date.
inline const QDateTime kLongAgo(QDate(2001, 2, 3), QTime(4, 5, 6));

inline void age(const QString& path) {
    QFile f(path);
    QVERIFY2(
        f.open(QIODevice::ReadWrite) && f.setFileTime(kLongAgo, QFileDevice::FileModificationTime),
        qPrintable(path));
}

inline bool aged(const QString& path) {
    return QFileInfo(path).lastModified() == kLongAgo;
}

}  // namespace trovix::testing
