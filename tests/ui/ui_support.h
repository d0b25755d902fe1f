#pragma once
// Whole-file reads and writes for the window tests.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtTest>

namespace varn::testing {

// The bytes of path, or "<missing>" when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll();
}

// Writes bytes to path, failing the running test when it cannot.
inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace varn::testing
