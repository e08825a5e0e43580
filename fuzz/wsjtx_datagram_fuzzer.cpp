// Datagrams sent to the digital-mode listener: anything at all may arrive on its port. Whatever
// a datagram brings must survive the spool: a contact written as a spool line reads back from
// that line as the same contact (same call, day, minute, band and mode), and nothing that is no
// contact becomes one on the way.
#include "digital/contact_fields.hpp"
#include "digital/wsjtx_messages.hpp"
#include "fuzz_support.hpp"

#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel::digital;
    for (const ContactFields& fields : contacts_of_datagram(std::span<const std::uint8_t>(data, size))) {
        const std::string line = adif_record_line(fields);
        kestrel::fuzz::check(line.find('\n') == line.size() - 1, "a spool record is one line");
        const auto read_back = fields_of_line(line);
        kestrel::fuzz::check(read_back.has_value(), "a spool line ends its record");
        const auto contact = contact_of(fields);
        const auto again = contact_of(*read_back);
        kestrel::fuzz::check(contact.has_value() == again.has_value(), "a contact stays a contact");
        if (contact)
            kestrel::fuzz::check(key_of(contact->record) == key_of(again->record), "the same contact again");
    }
    return 0;
}
