#pragma once

// Bytes and code-page 932 text of the files the tests write and read back.

#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QTest>

// The whole file; empty when it is missing.
inline QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces path with bytes (a plain write: the tests set the scene with it).
inline void WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

inline QByteArray Cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        QTest::qFail("text has no code page 932 form", __FILE__, __LINE__);
    return bytes;
}

inline QByteArray Cp932(const char *utf8)
{
    return Cp932(QString::fromUtf8(utf8));
}

// Text in code page 932 with every "\n" turned into CR LF, as the program's
// files are written.
inline QByteArray Cp932Lines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return Cp932(text);
}

// Takes write permission away from folder. False when this user can write
// there all the same (as root), where a test of a read-only folder must skip.
inline bool MakeReadOnly(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(folder + QStringLiteral("/.probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return true;
    probe.remove();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return false;
}

inline void MakeWritable(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
