#include "printer/recording_printer.hpp"

#include <algorithm>
#include <map>

namespace kestrel::printing {

std::vector<std::string> PrintedJob::lines_of(std::size_t page, int char_width) const {
    std::map<int, std::vector<const Text*>> rows;
    if (page < pages.size())
        for (const Text& t : pages[page].texts)
            rows[t.y].push_back(&t);
    std::vector<std::string> out;
    for (auto& [y, texts] : rows) {
        std::sort(texts.begin(), texts.end(), [](const Text* a, const Text* b) { return a->x < b->x; });
        std::string line;
        for (const Text* t : texts) {
            const auto column = static_cast<std::size_t>(std::max(0, t->x / std::max(1, char_width)));
            if (line.size() < column) line.resize(column, ' ');
            line.replace(std::min(column, line.size()), t->text.size(), t->text);
        }
        out.push_back(line);
    }
    return out;
}

} // namespace kestrel::printing
