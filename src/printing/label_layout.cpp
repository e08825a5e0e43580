#include "printing/label_layout.hpp"

#include "common/fixed_text.hpp"
#include "common/side_file.hpp"
#include "printing/label_text.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kestrel::printing {

namespace fs = std::filesystem;

namespace {

std::string name_of(const std::string& path) {
    return fs::path(path).filename().string();
}

bool is_template_name(const std::string& name) {
    const std::string upper = upper_case(name);
    return upper.size() > 4 && upper.ends_with(".DTA") && upper != "CURLOG.DTA";
}

} // namespace

std::vector<std::string> template_files(const std::string& directory) {
    std::vector<std::string> names;
    std::error_code error;
    const fs::path where = directory.empty() ? fs::path(".") : fs::path(directory);
    for (fs::directory_iterator it(where, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored)) continue;
        const std::string name = it->path().filename().string();
        if (is_template_name(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

LayoutLoad load_label_layout(const std::string& template_path) {
    LayoutLoad load;
    const std::string name = name_of(template_path);
    std::error_code error;
    const auto size = fs::file_size(template_path, error);
    if (!error && size > k_largest_template) {
        load.problem = name + " is too large to be a label template: nothing will be printed with it.";
        return load;
    }
    const auto text = read_side_file(template_path);
    if (!text) {
        load.problem = name + " could not be read: nothing will be printed with it.";
        return load;
    }
    if (const auto bad = first_bad_command(*text)) {
        load.problem = name + ": " + *bad + ". Nothing will be printed with it until it is put right.";
        return load;
    }

    LabelLayout layout;
    layout.template_path = template_path;
    layout.template_text = *text;
    const std::string settings_path = layout.settings_path();
    const std::string settings_name = name_of(settings_path);
    const bool missing = !fs::exists(settings_path, error) && !error;
    const std::optional<std::string> bytes = missing ? std::string{} : read_side_file(settings_path);
    if (!bytes) {
        load.problem = settings_name + " could not be read: nothing will be printed with " + name + ".";
        return load;
    }
    if (bytes->empty()) {
        // A new template gets a new sheet of zeros. Should that file not be written, the settings
        // are written again (and a failure told) when the operator prints.
        (void)write_side_file(settings_path, std::string(k_settings_size, '\0'));
    } else if (auto settings = decode_settings(*bytes)) {
        layout.settings = *settings;
    } else {
        load.problem = settings_name +
                       " does not hold label settings (ten bytes): nothing will be printed with " + name +
                       ". The file has been left as it is.";
        return load;
    }
    load.layout = std::move(layout);
    return load;
}

} // namespace kestrel::printing
