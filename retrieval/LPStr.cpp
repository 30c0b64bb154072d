#include "LPStr.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

TLPStr::TLPStr(std::uint16_t initialCapacity)
{
    if (initialCapacity != 0)
        SetSize(initialCapacity);
}

void TLPStr::Clear()
{
    if (m_fixed) {
        if (m_buffer)
            m_buffer[0] = '\0';
        return;
    }
    m_buffer.reset();
    m_capacity = 0;
}

QByteArray TLPStr::GetText() const
{
    return m_buffer ? QByteArray(m_buffer.get()) : QByteArray();
}

std::size_t TLPStr::GetText(char* destination, std::size_t size) const
{
    if (destination == nullptr || size == 0)
        return 0;
    const std::size_t length =
        m_buffer ? std::min(std::strlen(m_buffer.get()), size - 1) : std::size_t(0);
    if (length > 0)
        std::memcpy(destination, m_buffer.get(), length);
    destination[length] = '\0';
    return length;
}

void TLPStr::LoadFromStream(QIODevice& stream)
{
    const qint64 limit = m_fixed ? qint64(m_capacity) : qint64(Stream_Limit);
    const QByteArray data = stream.read(limit);
    if (data.size() >= limit)
        throw Stream_Error(QStringLiteral("Line too long"));
    SetText(data);
}

void TLPStr::SaveToStream(QIODevice& stream) const
{
    if (Is_Empty())
        return;
    const qint64 length = qint64(std::strlen(m_buffer.get()));
    if (stream.write(m_buffer.get(), length) != length)
        throw Stream_Error(QStringLiteral("Stream write error"));
}

void TLPStr::SetText(const char* text)
{
    if (text == nullptr) {
        Clear();
        return;
    }
    // Copy first: the text may lie in this holder's own buffer, which Clear releases.
    const QByteArray copy(text);
    Assign(copy.constData(), std::size_t(copy.size()));
}

void TLPStr::SetText(const QByteArray& text)
{
    const QByteArray copy(text.constData(), qstrnlen(text.constData(), text.size()));
    Assign(copy.constData(), std::size_t(copy.size()));
}

void TLPStr::Assign(const char* text, std::size_t length)
{
    Clear();
    if (m_fixed) {
        // A fixed holder always has a buffer of at least one byte (SetSize with n > 0).
        length = std::min(length, std::size_t(m_capacity) - 1);
    } else {
        length = std::min(length, Max_Text);
        m_buffer = std::make_unique<char[]>(length + 1);
        m_capacity = std::uint16_t(length + 1);
    }
    if (length > 0)
        std::memcpy(m_buffer.get(), text, length);
    m_buffer[length] = '\0';
}

void TLPStr::SetSize(std::uint16_t n)
{
    // 0 is looked at first: a fixed holder of capacity 0 would have no room for a terminator.
    if (n == 0) {
        m_fixed = false;
        return;
    }
    if (n == m_capacity && m_buffer) {
        m_fixed = true;
        return;
    }
    auto buffer = std::make_unique<char[]>(n);
    const std::size_t length =
        m_buffer ? std::min(std::strlen(m_buffer.get()), std::size_t(n) - 1) : std::size_t(0);
    if (length > 0)
        std::memcpy(buffer.get(), m_buffer.get(), length);
    buffer[length] = '\0';
    m_buffer = std::move(buffer);
    m_capacity = n;
    m_fixed = true;
}

namespace {

void Set_Error(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

bool Write_PChar(QIODevice& device, const TLPStr& text, QString* error)
{
    const QByteArray value = text.GetText();
    if (value.isEmpty())
        return true;
    const quint32 count = quint32(value.size()) + 1;
    QByteArray bytes;
    bytes.reserve(int(count) + 5);
    bytes.append(PChar_Value_Tag);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.append(char((count >> shift) & 0xFF));
    bytes.append(value.constData(), value.size() + 1); // with its terminator
    if (device.write(bytes) != bytes.size()) {
        Set_Error(error,
                  QStringLiteral("Cannot write the PChar value: %1").arg(device.errorString()));
        return false;
    }
    return true;
}

bool Read_PChar(QIODevice& device, TLPStr& text, QString* error)
{
    text.Clear();
    const QByteArray head = device.read(5);
    if (head.size() < 5) {
        Set_Error(error, QStringLiteral("The PChar value is cut short"));
        return false;
    }
    if (head.at(0) != PChar_Value_Tag) {
        Set_Error(error, QStringLiteral("The PChar value has the tag %1, not %2")
                             .arg(int(quint8(head.at(0))))
                             .arg(int(PChar_Value_Tag)));
        return false;
    }
    quint32 count = 0;
    for (int i = 0; i < 4; ++i)
        count |= quint32(quint8(head.at(1 + i))) << (8 * i);
    if (count == 0)
        return true;
    if (count > TLPStr::Max_Text + 1) {
        Set_Error(error, QStringLiteral("The PChar value of %1 bytes is longer than a text "
                                        "holder keeps")
                             .arg(count));
        return false;
    }
    const QByteArray data = device.read(qint64(count));
    if (data.size() != qsizetype(count)) {
        Set_Error(error, QStringLiteral("The PChar value is cut short: %1 of %2 bytes")
                             .arg(data.size())
                             .arg(count));
        return false;
    }
    text.SetText(data);
    return true;
}
