#include "platform/native_names.h"

#include <QByteArrayView>

#include <sys/stat.h>

namespace {

constexpr char32_t escapeBase = 0xEF00; // + the byte, for bytes 0x80 .. 0xFF

bool isEscape(char32_t c)
{
    return c >= escapeBase + 0x80 && c <= escapeBase + 0xFF;
}

// The UTF-8 encodings of the escape range begin with these two bytes.
bool mayHoldEscapes(const QByteArray &bytes)
{
    return bytes.contains("\xEE\xBE") || bytes.contains("\xEE\xBF");
}

// The code point of the valid, shortest-form UTF-8 sequence at `at`, and its length; a length
// of 0 when the bytes there are no such sequence.
struct Decoded
{
    char32_t code = 0;
    int length = 0;
};

Decoded decodeAt(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) {
        return static_cast<unsigned char>(bytes[i]);
    };
    const unsigned char lead = byte(at);
    int length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (at + length > bytes.size())
        return {};
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return {};
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {};
    return {code, length};
}

void appendCode(QString &text, char32_t code)
{
    if (code < 0x10000) {
        text.append(QChar(static_cast<char16_t>(code)));
    } else {
        text.append(QChar(QChar::highSurrogate(code)));
        text.append(QChar(QChar::lowSurrogate(code)));
    }
}

} // namespace

QString fromNativeBytes(const QByteArray &bytes)
{
    if (QByteArrayView(bytes).isValidUtf8() && !mayHoldEscapes(bytes))
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            text.append(QLatin1Char(static_cast<char>(lead)));
            ++at;
            continue;
        }
        const Decoded decoded = decodeAt(bytes, at);
        if (decoded.length > 0 && !isEscape(decoded.code)) {
            appendCode(text, decoded.code);
            at += decoded.length;
        } else {
            appendCode(text, escapeBase + lead);
            ++at;
        }
    }
    return text;
}

QByteArray toNativeBytes(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t c = text[at].unicode();
        if (!isEscape(c))
            continue;
        bytes += QStringView(text).mid(runStart, at - runStart).toUtf8();
        bytes += static_cast<char>(c - escapeBase);
        runStart = at + 1;
    }
    bytes += QStringView(text).mid(runStart).toUtf8();
    return bytes;
}

NativeKind nativeKindOf(const QString &nativePath)
{
    struct stat info = {};
    if (nativePath.isEmpty() || ::stat(toNativeBytes(nativePath).constData(), &info) != 0)
        return NativeKind::Missing;
    if (S_ISREG(info.st_mode))
        return NativeKind::File;
    return S_ISDIR(info.st_mode) ? NativeKind::Folder : NativeKind::Other;
}

QString nativePathOfFileUrl(const QUrl &url)
{
    if (!url.host().isEmpty())
        return url.toLocalFile();
    return fromNativeBytes(
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QUrl fileUrlOfNativePath(const QString &nativePath)
{
    return QUrl::fromEncoded("file://" + toNativeBytes(nativePath).toPercentEncoding("/"));
}
