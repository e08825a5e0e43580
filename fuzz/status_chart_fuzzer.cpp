// DXCC.CHT, raw bytes of any length: loading then saving must give back the same bytes (a short
// file comes back filled out to the whole chart with zeros), and loading that gives the same chart.
#include "countries/status_chart.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel;
    const std::string_view bytes = fuzz::bytes_of(data, size);
    const std::string path = fuzz::scratch_file("DXCC.CHT", bytes);

    const countries::ChartLoad first = countries::load_chart(path);
    fuzz::check(!first.unreadable, "a chart file is readable");
    fuzz::check(first.wrong_length.has_value() == (size != 0 && size != countries::k_chart_size),
                "a wrong length is told");

    const std::string saved_path = (fuzz::scratch_dir() / "SAVED.CHT").string();
    fuzz::check(countries::save_chart(first.chart, saved_path), "the chart is saved");
    std::string expected(bytes);
    if (expected.size() < countries::k_chart_size) expected.resize(countries::k_chart_size, '\0');
    fuzz::check(fuzz::file_bytes(saved_path) == expected, "a chart is saved as it was read");

    const countries::ChartLoad again = countries::load_chart(saved_path);
    fuzz::check(again.chart.bytes() == first.chart.bytes() && again.chart.tail == first.chart.tail,
                "a saved chart loads the same");
    return 0;
}
