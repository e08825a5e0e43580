// What the layout of the database windows is for: every control inside its window and none on
// top of another, however many and however wide the fields of the database shown.

#include "databases/database_search_window.hpp"
#include "databases/selection_window.hpp"

#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

namespace kestrel::databases {
namespace {

bool overlap(const ui::Rect& a, const ui::Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

void expect_tidy(const ui::Form& form, const std::string& what) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const ui::Control& c = form.controls[i];
        EXPECT_GE(c.rect.x, 0) << what << " " << c.id;
        EXPECT_GE(c.rect.y, 0) << what << " " << c.id;
        EXPECT_LE(c.rect.x + c.rect.w, form.frame.w) << what << " " << c.id;
        EXPECT_LE(c.rect.y + c.rect.h, form.frame.h) << what << " " << c.id;
        for (std::size_t j = i + 1; j < form.controls.size(); ++j) {
            const ui::Control& d = form.controls[j];
            EXPECT_FALSE(overlap(c.rect, d.rect)) << what << ": " << c.id << " and " << d.id;
        }
    }
}

TEST(WindowLayout, EveryControlInsideItsWindowAndNoneOnAnother) {
    DatabaseSettings settings;
    expect_tidy(SelectionWindow(settings, "").build(), "selection");

    testing::TempDir dir;
    const std::string wide(120, 'W');
    const std::string cases[] = {
        "",                                                       // no file: the window stays empty
        "CALL:\r\nG3ABC:\r\n",                                    // one field
        "A:B:C:D:E:F:G:H:I:J:K:\r\n1:2:3:4:5:6:7:8:9:10:11:\r\n", // eleven
        "A VERY LONG NAME FOR A FIELD OF THE DATABASE:B:\r\n" + wide + ":x:\r\n",
        "CALL:NAME:\r\n", // no record: no boxes
    };
    int n = 0;
    for (const std::string& bytes : cases) {
        const std::string name = "DB" + std::to_string(++n) + ".EDB";
        if (!bytes.empty()) testing::write_file(dir.path() / name, bytes);
        expect_tidy(DatabaseSearchWindow({name, dir.file(name), {}}).build(), bytes);
    }
}

} // namespace
} // namespace kestrel::databases
