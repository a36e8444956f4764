#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// A profile file parsed once, for callers that read many keys of one file in
// one step (loading a pattern file with a thousand patterns). value() has
// exactly the semantics of ReadIniValue on the bytes given.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray &bytes);

    // Reads the file now; a file that is missing or cannot be read whole
    // gives a document where every value is absent.
    static IniDocument fromFile(const QString &filePath);

    // The value as ReadIniValue returns it, "ERR" when absent.
    QString value(const QString &section, const QString &key) const;

    // One value straight from the bytes, without building the index; stops
    // at the end of the first section of that name.
    static QString lookup(const QByteArray &bytes, const QString &section, const QString &key);

    // The bytes with section/key set to value, as WriteIniValue writes them.
    static QByteArray withValue(const QByteArray &bytes, const QString &section, const QString &key,
                                const QString &value);

private:
    struct Impl;
    QByteArray m_bytes;
    // Implementation detail owned by the .cpp (index of sections and keys).
    std::shared_ptr<const Impl> m_index;
};
