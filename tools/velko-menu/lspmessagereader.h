// The language server's framing: "Content-Length" headers around JSON
// bodies, read from a byte stream that may arrive in any pieces. Faulty
// framing is reported and skipped, never buffered without bound.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace VelkoMenuView {

struct LspFrame
{
    enum class Kind {
        Message, // body holds the JSON text
        Malformed, // bytes that could not be framed were skipped
        Oversize, // a message over the size limit was skipped
    };
    Kind kind = Kind::Message;
    QByteArray body;
    QString error; // why the bytes were skipped
};

class LspMessageReader
{
public:
    static constexpr qsizetype DefaultMaxBody = 64 * 1024 * 1024;
    // A header block is a few dozen bytes; more means the stream is lost.
    static constexpr qsizetype MaxHeader = 8 * 1024;

    explicit LspMessageReader(qsizetype maxBody = DefaultMaxBody)
        : m_maxBody(maxBody)
    { }

    // The frames the bytes complete, in stream order.
    QList<LspFrame> feed(QByteArrayView bytes);

    // Bytes held for an incomplete frame: at most the body limit and a header.
    qsizetype bufferedBytes() const { return m_buffer.size(); }

private:
    enum class State {
        Header, // reading header lines
        Body, // waiting for m_remaining body bytes
        Skip, // dropping the m_remaining bytes of an oversize body
        Resync, // after a fault: dropping bytes up to the next "Content-Length"
    };

    void readHeaderLine(QByteArrayView line, QList<LspFrame> &frames);
    void endHeader(QList<LspFrame> &frames);
    void fail(const QString &error, QList<LspFrame> &frames);
    void startHeader();

    qsizetype m_maxBody;
    State m_state = State::Header;
    QByteArray m_buffer;
    qsizetype m_pos = 0; // first unread byte of m_buffer
    qsizetype m_remaining = 0;
    qsizetype m_headerBytes = 0;
    qint64 m_contentLength = -1;
    bool m_sawField = false;
};

// A body framed for sending.
QByteArray frameMessage(const QByteArray &body);

} // namespace VelkoMenuView
