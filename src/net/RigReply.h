#pragma once
// rigctld's answers in its extended response protocol (each command sent with a leading '+'):
//   get_freq:              the command echoed by its long name and a colon, then its arguments
//   Frequency: 14074000    the values, "Key: value", one a line
//   RPRT 0                 the end of the block, with hamlib's result (0 for success)
// Bytes in, whole blocks or a reason out. Lines are bounded, so a server that sends junk
// without line ends costs a fixed amount of memory and is found out at once.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <utility>
#include <vector>

struct RigReply
{
    QByteArray command;                                     // "get_freq"; empty for a bare "RPRT n"
    std::vector<std::pair<QByteArray, QByteArray>> values;  // ("Frequency", "14074000")
    int result = 0;                                         // below 0: hamlib's error code
    QByteArray value(QByteArrayView key) const;
};

class RigReplyReader
{
public:
    static constexpr qsizetype kMaxLine = 200;
    static constexpr size_t kMaxValues = 8;
    enum class Next { Incomplete, Reply, Broken };

    void add(QByteArrayView bytes);
    // The next whole block. Broken, with the reason, when the bytes are not this protocol;
    // the reader then stays broken until cleared.
    Next next(RigReply &reply, QString &reason);
    void clear();
    qsizetype buffered() const { return m_buffer.size() - m_used; }
    bool midway() const { return buffered() > 0 || m_inBlock; } // part of an answer is in

private:
    Next broken(QString &reason, const QString &why);

    QByteArray m_buffer;
    qsizetype m_used = 0;          // bytes of m_buffer already read
    RigReply m_block;              // the block being read
    bool m_inBlock = false;
    QString m_broken;              // why, once broken
};

// A frequency value ("14074000", "14074000.000000") in whole hertz; -1 when it is none.
qint64 rigHertz(QByteArrayView value);
// A mode value as hamlib names it (capitals, digits, '-'); empty when it is none.
QString rigModeName(QByteArrayView value);
// A hamlib error code ("RPRT -5") in the operator's words.
QString rigErrorText(int result);
