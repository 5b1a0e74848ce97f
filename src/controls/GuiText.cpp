#include "GuiText.h"

#include "Encoding.h"

QString FromBytes(const std::string& bytes) {
    return QString::fromStdString(spelldata::Cp1252ToUtf8(bytes));
}

std::string ToBytes(const QString& text) {
    return spelldata::Utf8ToCp1252(text.toStdString());
}

QString DescriptionToText(const std::string& bytes) {
    QString text = FromBytes(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::string TextToDescription(const QString& text) {
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normal.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    normal.replace(QChar::LineSeparator, QLatin1Char('\n'));
    normal.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return ToBytes(normal);
}
