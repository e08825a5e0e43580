#include "platform/qt/text.hpp"

#include "common/windows1252.hpp"

#include <QFile>

namespace kestrel::platform {

namespace {

bool is_valid_utf8_with_high_bytes(std::string_view s) {
    bool high = false;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int more = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) more = 1;
        else if (c >= 0xE0 && c <= 0xEF) more = 2;
        else if (c >= 0xF0 && c <= 0xF4) more = 3;
        else return false;
        if (i + more >= s.size()) return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        high = true;
        i += more + 1;
    }
    return high;
}

} // namespace

QString to_qt(std::string_view text) {
    if (is_valid_utf8_with_high_bytes(text)) return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const std::string utf8 = utf8_from_windows1252(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string from_qt(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return windows1252_from_utf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

std::string path_from_qt(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace kestrel::platform
