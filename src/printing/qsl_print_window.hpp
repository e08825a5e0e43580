#pragma once

#include "printing/label_layout.hpp"
#include "printing/station_texts.hpp"
#include "ui/window.hpp"

#include <string>
#include <vector>

namespace kestrel::countries {
class CountryTable;
}
namespace kestrel::logstore {
class BandNameTable;
class LogStore;
} // namespace kestrel::logstore
namespace kestrel::rig {
struct StationSettings;
}

namespace kestrel::printing {

// What QSL printing works on. The layout belongs to the application: the window loads it, and
// the single labels of the logging windows print with what it last loaded.
struct QslPrintEnv {
    logstore::LogStore& log;
    const logstore::BandNameTable& band_names;
    const countries::CountryTable& countries;
    const rig::StationSettings& station;
    LabelLayout& layout;
    std::string directory; // where the templates are, ending with "/"; empty for the current one
};

inline constexpr std::string_view k_print_qsl_title = "Print QSL";
inline constexpr std::string_view k_no_layout_text = "No Printer file loaded";
inline constexpr std::string_view k_unknown_type_text = "Only Small or Full labels allowed";

// The PRINT QSLs window: the template and its sheet, then a test sheet, the labels of the QSLs
// the log still owes, or SWL cards.
class QslPrintWindow final : public ui::Window {
  public:
    enum Id {
        k_exit = 2,
        k_type_label = 21,
        k_template_label = 22,
        k_start_date_label = 23,
        k_down_label = 24,
        k_across_label = 25,
        k_width_label = 26,
        k_height_label = 27,
        k_left_label = 28,
        k_top_label = 29,
        k_per_label_label = 30,
        k_test = 202,
        k_print = 203,
        k_swl = 204,
        k_pause = 480,
        k_received_only = 481,
        k_type = 490,
        k_template = 491,
        k_start_date = 492,
        k_down = 493,
        k_across = 494,
        k_width = 495,
        k_height = 496,
        k_left = 497,
        k_top = 498,
        k_per_label = 499,
    };

    explicit QslPrintWindow(QslPrintEnv env);
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

  private:
    void load_chosen(ui::Context& ctx);
    void show_settings(ui::Context& ctx, const LabelSettings& settings);
    bool read_settings(ui::Context& ctx);
    bool label_type_known(ui::Context& ctx);
    void test_sheet(ui::Context& ctx);
    void qsl_run(ui::Context& ctx);
    void swl_cards(ui::Context& ctx);

    QslPrintEnv m_env;
    StationTable m_station;           // as it stood when the window opened
    std::vector<std::string> m_names; // the template files, as the combo lists them
    std::string m_problem;            // why the chosen template could not be loaded
};

// Printing/Print QSL and the main window's Print QSL button.
void print_qsls(ui::Context& parent, QslPrintEnv env);

} // namespace kestrel::printing
