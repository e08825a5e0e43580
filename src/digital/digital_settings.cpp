#include "digital/digital_settings.hpp"

#include "common/fixed_text.hpp"
#include "common/number_text.hpp"
#include "common/side_file.hpp"
#include "common/text_items.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kestrel::digital {

namespace {

// A part of a dotted IPv4 address as the system's readers take it in decimal: no leading zero
// (which they read as octal), 0 to 255; -1 for anything else.
int decimal_part(std::string_view part) {
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part.front() == '0')) return -1;
    int value = 0;
    for (const char c : part) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value <= 255 ? value : -1;
}

// The first part of an address of four decimal parts; -1 when it is not one.
int first_of_dotted_quad(std::string_view text) {
    int first = -1;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = text.find('.');
        if ((part < 3) == (dot == std::string_view::npos)) return -1;
        const int value = decimal_part(text.substr(0, dot));
        if (value < 0) return -1;
        if (part == 0) first = value;
        text.remove_prefix(part < 3 ? dot + 1 : text.size());
    }
    return first;
}

std::optional<std::uint16_t> hex_group(std::string_view group) {
    if (group.empty() || group.size() > 4) return std::nullopt;
    unsigned value = 0;
    for (const char c : group) {
        const char l = static_cast<char>(c | 0x20);
        if (c >= '0' && c <= '9')
            value = value * 16 + static_cast<unsigned>(c - '0');
        else if (l >= 'a' && l <= 'f')
            value = value * 16 + static_cast<unsigned>(l - 'a' + 10);
        else
            return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::optional<std::vector<std::uint16_t>> hex_groups(std::string_view text) {
    std::vector<std::uint16_t> groups;
    if (text.empty()) return groups;
    for (;;) {
        const std::size_t colon = text.find(':');
        const auto group = hex_group(text.substr(0, colon));
        if (!group) return std::nullopt;
        groups.push_back(*group);
        if (colon == std::string_view::npos) return groups;
        text.remove_prefix(colon + 1);
    }
}

// The eight groups of an IPv6 address in plain hexadecimal, "::" standing for zeros at most once;
// nothing for any other spelling (an IPv4 tail, a zone).
std::optional<std::array<std::uint16_t, 8>> ipv6_groups(std::string_view text) {
    const std::size_t gap = text.find("::");
    std::optional<std::vector<std::uint16_t>> head;
    std::optional<std::vector<std::uint16_t>> tail;
    if (gap == std::string_view::npos) {
        head = hex_groups(text);
        tail.emplace();
        if (!head || head->size() != 8) return std::nullopt;
    } else {
        head = hex_groups(text.substr(0, gap));
        tail = hex_groups(text.substr(gap + 2));
        if (!head || !tail || head->size() + tail->size() > 7) return std::nullopt;
    }
    std::array<std::uint16_t, 8> groups{};
    std::copy(head->begin(), head->end(), groups.begin());
    std::copy(tail->begin(), tail->end(), groups.end() - static_cast<std::ptrdiff_t>(tail->size()));
    return groups;
}

} // namespace

std::string settings_path(const std::string& directory) {
    if (directory.empty()) return k_settings_file;
    return directory + (directory.back() == '/' ? "" : "/") + k_settings_file;
}

AddressReach reach_of(std::string_view address) {
    if (upper_case(address) == "LOCALHOST") return AddressReach::this_computer;
    if (const int first = first_of_dotted_quad(address); first >= 0) {
        if (first == 127) return AddressReach::this_computer;
        if (first >= 224 && first <= 239) return AddressReach::group;
        return AddressReach::network;
    }
    if (const auto groups = ipv6_groups(address)) {
        if ((*groups)[0] >> 8 == 0xff) return AddressReach::group;
        const bool loopback =
            std::all_of(groups->begin(), groups->end() - 1, [](auto g) { return g == 0; }) &&
            groups->back() == 1;
        if (loopback) return AddressReach::this_computer;
    }
    return AddressReach::network;
}

ListenPlan listen_plan(const DigitalSettings& settings) {
    const io::GroupJoin join = settings.network ? io::GroupJoin::every_interface : io::GroupJoin::loopback;
    switch (reach_of(settings.address)) {
    case AddressReach::this_computer:
    case AddressReach::group: return {settings.address, join, false};
    case AddressReach::network: break;
    }
    if (settings.network) return {settings.address, join, false};
    return {k_default_address, join, true};
}

int port_of_text(std::string_view text) {
    const double port = leading_number(text);
    if (port < 1 || port > k_highest_port || port != static_cast<int>(port)) return 0;
    return static_cast<int>(port);
}

DigitalSettings read_digital_settings(std::string_view bytes) {
    DigitalSettings settings;
    TextItemReader items{std::string(bytes)};
    if (const auto on = items.next_text()) settings.listening = upper_case(*on) != "OFF";
    if (const auto address = items.next_text(); address && !address->empty()) settings.address = *address;
    if (const auto port = items.next_text())
        if (const int value = port_of_text(*port); value != 0) settings.port = value;
    if (const auto reach = items.next_text()) settings.network = upper_case(*reach) == k_network_item;
    return settings;
}

std::string digital_settings_text(const DigitalSettings& settings) {
    std::vector<std::string> items{settings.listening ? "ON" : "OFF", settings.address,
                                   std::to_string(settings.port)};
    if (settings.network) items.emplace_back(k_network_item);
    return join_items(items);
}

DigitalSettings load_digital_settings(const std::string& directory) {
    const auto bytes = read_side_file(settings_path(directory));
    return bytes ? read_digital_settings(*bytes) : DigitalSettings{};
}

bool save_digital_settings(const DigitalSettings& settings, const std::string& directory) {
    return write_side_file(settings_path(directory), digital_settings_text(settings));
}

} // namespace kestrel::digital
