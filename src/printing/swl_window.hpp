#pragma once

#include "printing/label_run.hpp"
#include "ui/window.hpp"

#include <memory>

namespace kestrel::printing {

// The Print SWL QSLs window: the details of a listener's report typed in, one label printed for
// each, on the sheet of the loaded layout. The printer was chosen before it opened; Exit ends
// the job.
class SwlWindow final : public ui::Window {
  public:
    enum Id {
        k_exit = 2,
        k_swl = 100,
        k_station = 101,
        k_date = 102,
        k_time = 103,
        k_band = 104,
        k_mode = 105,
        k_comment = 106,
        k_print = 203,
        k_first_label = 10, // 10 to 16, beside boxes 100 to 106
    };

    SwlWindow(const LabelLayout& layout, std::unique_ptr<Printer> printer);
    ui::Form build() const override;
    void on_init(ui::Context& ctx) override;
    void on_command(ui::Context& ctx, int id, ui::Notify notify) override;

    // How the job ended: true when every label printed reached the printer (or none was printed).
    bool job_ended_well() const { return m_ended_well; }

  private:
    void print(ui::Context& ctx);
    void exit(ui::Context& ctx);

    const LabelLayout& m_layout;
    std::unique_ptr<Printer> m_printer;
    std::unique_ptr<LabelRun> m_run;
    bool m_ended_well = true;
};

// The placeholders of an SWL card: $A$ the listener, $P$ the station worked, $B$ date, $C$ time,
// $F$ band, $E$ mode, $M$ comment, each as typed; the others print as they stand.
struct SwlReport {
    std::string listener;
    std::string station;
    std::string date;
    std::string time;
    std::string band;
    std::string mode;
    std::string comment;
};
[[nodiscard]] Placeholders swl_placeholders(const SwlReport& report);

} // namespace kestrel::printing
