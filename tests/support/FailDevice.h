#pragma once

#include <QBuffer>

// A device that reads like a buffer until failAfter bytes have been read,
// then fails every further read, as a disk with a bad block does.
class FailDevice : public QBuffer
{
public:
    FailDevice(const QByteArray &bytes, qint64 failAfter)
        : m_failAfter(failAfter)
    {
        setData(bytes);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (pos() >= m_failAfter) {
            setErrorString(QStringLiteral("simulated read error"));
            return -1;
        }
        return QBuffer::readData(data, std::min(maxSize, m_failAfter - pos()));
    }

private:
    qint64 m_failAfter;
};
