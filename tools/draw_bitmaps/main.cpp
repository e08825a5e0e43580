// draw_bitmaps: writes Kestrel's bitmaps as PNG files into a directory.
//
//   draw_bitmaps <output directory>
//
// Every picture is drawn here from shapes and the system's DejaVu Sans, so
// running it again gives the same files.

#include "banners.hpp"
#include "clock_digits.hpp"
#include "icon.hpp"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

namespace {

using kestrel::draw_bitmaps::draw_call_plate;
using kestrel::draw_bitmaps::draw_clock_blank;
using kestrel::draw_bitmaps::draw_clock_colon;
using kestrel::draw_bitmaps::draw_clock_digit;
using kestrel::draw_bitmaps::draw_icon;
using kestrel::draw_bitmaps::draw_logo;

using Picture = std::pair<QString, QImage>;

[[nodiscard]] std::optional<std::vector<Picture>> draw_all() {
    std::optional<QImage> logo = draw_logo();
    std::optional<QImage> plate = draw_call_plate();
    if (!logo || !plate) {
        return std::nullopt;
    }
    std::vector<Picture> pictures{
        {"KEST6", *logo},
        {"G9QQQ", *plate},
        {"ICON", draw_icon(32)},
        {"ICON64", draw_icon(64)},
    };
    for (int digit = 0; digit <= 9; ++digit) {
        pictures.emplace_back(QString("F%1").arg(digit), draw_clock_digit(digit));
    }
    pictures.emplace_back("FC", draw_clock_colon());
    pictures.emplace_back("FB", draw_clock_blank());
    return pictures;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_bitmaps <output directory>\n");
        return 2;
    }
    // Nothing is shown on screen, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "draw_bitmaps: cannot create %s\n", argv[1]);
        return 1;
    }
    const std::optional<std::vector<Picture>> pictures = draw_all();
    if (!pictures) {
        std::fprintf(stderr, "draw_bitmaps: the DejaVu Sans font is missing (Debian: fonts-dejavu-core)\n");
        return 1;
    }
    for (const auto& [name, image] : *pictures) {
        const QString path = out.filePath(name + ".png");
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "draw_bitmaps: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    }
    return 0;
}
