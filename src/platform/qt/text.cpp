#include "platform/qt/text.hpp"

#include "common/windows1252.hpp"

#include <QFile>

#include <algorithm>

namespace kestrel::platform {

namespace {

// Plain ASCII reads the same either way; a text with other bytes that is well-formed UTF-8 is
// taken as UTF-8.
bool is_utf8_beyond_ascii(std::string_view s) {
    const bool high =
        std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return high && is_valid_utf8(s);
}

} // namespace

QString to_qt(std::string_view text) {
    if (is_utf8_beyond_ascii(text))
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const std::string utf8 = utf8_from_windows1252(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString box_text(std::string_view windows1252) {
    const std::string utf8 = utf8_from_windows1252(windows1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string from_qt(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return windows1252_from_utf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

std::optional<std::string> exact_windows1252(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t ch : text.toStdU32String()) {
        const std::optional<char> byte = windows1252_byte_of(ch);
        if (!byte) return std::nullopt;
        out += *byte;
    }
    return out;
}

std::string path_from_qt(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace kestrel::platform
