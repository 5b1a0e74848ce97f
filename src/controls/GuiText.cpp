#include "GuiText.h"

#include "Encoding.h"

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
