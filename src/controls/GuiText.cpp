#include "controls/GuiText.h"

#include "spelldata/Encoding.h"

#include <QFile>

QString FromBytes(const std::string& bytes) {
    return QString::fromStdString(spelldata::Cp1252ToUtf8(bytes));
}

std::string ToBytes(const QString& text) {
    return spelldata::Utf8ToCp1252(text.toStdString());
}

// Both conversions go through the text once: replacing one kind of line
// break after another moves the rest of a long text at every match.
QString DescriptionToText(const std::string& bytes) {
    const QString text = FromBytes(bytes);
    QString lines(text.size(), Qt::Uninitialized);
    QChar* out = lines.data();
    const QChar* end = text.constEnd();
    for (const QChar* in = text.constBegin(); in != end; ++in) {
        if (*in != u'\r') {
            *out++ = *in;
            continue;
        }
        *out++ = u'\n'; // CR LF and a lone CR alike end the line
        if (in + 1 != end && in[1] == u'\n')
            ++in;
    }
    lines.truncate(out - lines.constData());
    return lines;
}

std::string TextToDescription(const QString& text) {
    QString lines;
    lines.reserve(text.size() + text.size() / 16);
    const QChar* end = text.constEnd();
    for (const QChar* in = text.constBegin(); in != end; ++in) {
        const bool crlf = *in == u'\r' && in + 1 != end && in[1] == u'\n';
        if (crlf || *in == u'\n' || *in == QChar::ParagraphSeparator ||
            *in == QChar::LineSeparator) {
            lines += QLatin1String("\r\n");
            in += crlf ? 1 : 0;
        } else {
            lines += *in;
        }
    }
    return ToBytes(lines);
}

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at `at`, or 0 when there is none.
qsizetype validSequence(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t min = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < min || code > 0x10FFFF || surrogate ? 0 : length;
}

} // namespace

QString PathFromBytes(const QByteArray& bytes) {
    QString path;
    qsizetype runStart = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = validSequence(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        path += QFile::decodeName(bytes.mid(runStart, at - runStart));
        path += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[at])));
        runStart = ++at;
    }
    return path + QFile::decodeName(bytes.mid(runStart));
}

QString PathFromBytes(const std::string& bytes) {
    return PathFromBytes(QByteArray::fromStdString(bytes));
}

QByteArray PathToBytes(const QString& path) {
    QByteArray bytes;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        const bool lone = c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF &&
                          (i == 0 || !path[i - 1].isHighSurrogate());
        if (!lone)
            continue;
        bytes += QFile::encodeName(path.mid(runStart, i - runStart));
        bytes += static_cast<char>(c - kEscapeBase);
        runStart = i + 1;
    }
    return bytes + QFile::encodeName(path.mid(runStart));
}

std::string NativePath(const QString& path) {
    return PathToBytes(path).toStdString();
}
