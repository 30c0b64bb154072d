#pragma once
// TLPStr: the holder of one zero-terminated 8-bit text, as the archive library's parameter
// record wants its texts. The record gets the address of the holder's buffer (Buffer()), or
// a null address when the holder has none.

#include "StandardError.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>

class QIODevice;

// A stream error ("Line too long"): a toolkit-level failure, shown in the standard error box
// when nothing handles it.
class Stream_Error : public Standard_Error
{
public:
    using Standard_Error::Standard_Error;
};

class TLPStr
{
public:
    // The most a holder reads from a stream when its buffer is not fixed.
    static constexpr std::size_t Stream_Limit = 32768;
    // The longest text a holder keeps: its capacity (terminator included) is 16 bits wide.
    static constexpr std::size_t Max_Text = 65534;

    // 0 gives an empty holder that is not fixed; any other value calls SetSize with it.
    explicit TLPStr(std::uint16_t initialCapacity = 0);
    TLPStr(const TLPStr&) = delete;
    TLPStr& operator=(const TLPStr&) = delete;

    // A fixed buffer keeps its memory and becomes empty; otherwise the buffer is released.
    void Clear();
    // The text (empty when there is none).
    QByteArray GetText() const;
    // Copies the text into destination, at most size - 1 characters and a terminator; returns
    // the number of characters copied. Nothing is written when size is 0.
    std::size_t GetText(char* destination, std::size_t size) const;
    // Reads at most the limit (the capacity of a fixed buffer, else Stream_Limit) and sets
    // the text read, up to its first zero byte. When the stream fills the whole limit,
    // throws Stream_Error("Line too long") and leaves the holder unchanged.
    void LoadFromStream(QIODevice& stream);
    // Writes the text without its terminator; nothing when it is empty. Throws Stream_Error
    // when the stream takes fewer bytes.
    void SaveToStream(QIODevice& stream) const;
    // Clears, then copies the text up to its first zero byte: a fixed buffer takes at most
    // capacity - 1 characters; otherwise a new buffer of exactly the text's size is made
    // (cut to Max_Text). A null text only clears.
    void SetText(const char* text);
    // As above for the bytes of text up to its first zero (a null array sets an empty text).
    void SetText(const QByteArray& text);
    // n equal to the capacity only marks the buffer fixed; 0 marks it not fixed and keeps the
    // buffer; any other n makes a fixed buffer of n bytes holding at most n - 1 characters of
    // the old text.
    void SetSize(std::uint16_t n);

    // The buffer's address as the record gets it: null when the holder has no buffer (never
    // set, or cleared while not fixed); an empty text that was set has a buffer.
    const char* Buffer() const { return m_buffer.get(); }
    char* Buffer() { return m_buffer.get(); }
    std::uint16_t Capacity() const { return m_capacity; }
    bool Fixed() const { return m_fixed; }
    bool Is_Empty() const { return !m_buffer || m_buffer[0] == '\0'; }

private:
    void Assign(const char* text, std::size_t length);

    std::unique_ptr<char[]> m_buffer;
    std::uint16_t m_capacity = 0;
    bool m_fixed = false;
};

// Form persistence of a holder: its text is the value of a property named "PChar", stored
// as one byte 10, a 32-bit little-endian count (text length + 1), the text and a zero.
inline constexpr char PChar_Property_Name[] = "PChar";
inline constexpr char PChar_Value_Tag = 10;

// Writes the "PChar" value of a holder; nothing when its text is empty. False with a text
// when the device takes fewer bytes.
bool Write_PChar(QIODevice& device, const TLPStr& text, QString* error = nullptr);
// Clears the holder, then reads a "PChar" value: the tag, the count and, when the count is
// above 0, that many bytes, whose text (up to the first zero) is set. False with a text for
// another tag, a count past the end of the data or beyond what a holder keeps; the holder
// stays empty then.
bool Read_PChar(QIODevice& device, TLPStr& text, QString* error = nullptr);
