// Rig descriptions and what rigs answer. The input is a description's text, a 0x00 byte, then
// replies, each one length byte followed by that many bytes. A description is either refused
// with a line named or polled; every reply then gives either nothing or a frequency of a rig
// and a mode the description names, and the next request is never empty when the poll command
// is not. The same replies go to the rig daemon's answer reader.
#include "fuzz_support.hpp"
#include "rig/rig_daemon.hpp"
#include "rig/rig_decoding.hpp"
#include "rig/rig_description.hpp"

#include <algorithm>
#include <vector>

namespace {

using namespace kestrel;

std::vector<io::Bytes> replies_of(const std::uint8_t* data, std::size_t size) {
    std::vector<io::Bytes> replies;
    std::size_t at = 0;
    while (at < size) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        replies.emplace_back(data + at + 1, data + at + 1 + length);
        at += 1 + length;
    }
    return replies;
}

bool is_frequency_text(const std::string& text) {
    const auto point = text.find('.');
    return point != std::string::npos && point > 0 && text.size() - point == 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

bool is_named(const rig::RigDescription& rig, const std::string& mode) {
    return mode.empty() ||
           std::find(rig.mode_names.begin(), rig.mode_names.end(), mode) != rig.mode_names.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* end = std::find(data, data + size, std::uint8_t{0});
    const std::string_view text = fuzz::bytes_of(data, static_cast<std::size_t>(end - data));
    const std::vector<io::Bytes> replies =
        end == data + size ? std::vector<io::Bytes>{}
                           : replies_of(end + 1, static_cast<std::size_t>(data + size - end - 1));

    const rig::DescriptionReading read = rig::read_rig_description(text, "FUZZ.RIG");
    if (read.problem) {
        fuzz::check(read.problem->line >= 1 && read.problem->line <= 6, "a refusal names a line of the six");
        fuzz::check(!read.problem->what.empty(), "a refusal says why");
    } else if (!rig::daemon_address(read.rig)) {
        rig::PollState state(read.rig);
        for (const io::Bytes& reply : replies) {
            const rig::PollStep step = rig::decode_reply(read.rig, state, reply);
            if (step.frequency_text)
                fuzz::check(is_frequency_text(*step.frequency_text), "MHz with three decimals");
            fuzz::check(is_named(read.rig, step.mode), "a mode is one the description names");
            fuzz::check(read.rig.poll_command.empty() || !step.request.empty(), "something is always asked");
        }
    }

    rig::DaemonAnswers answers;
    for (const io::Bytes& reply : replies) {
        answers.expect_frequency_and_mode();
        const auto decoded = answers.take(reply);
        if (decoded.frequency_text)
            fuzz::check(is_frequency_text(*decoded.frequency_text), "daemon: MHz text");
    }
    return 0;
}
