#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kestrel::digital {

// A date and time as Qt's data stream writes it (the format of Qt 5.2 and later): the Julian
// day, the milliseconds since midnight, how the two are meant (0 local time, 1 UTC, 2 an offset
// from UTC, 3 a named time zone) and, for 2, the offset in seconds.
struct QtDateTime {
    std::int64_t julian_day = 0;
    std::uint32_t milliseconds = 0;
    std::uint8_t time_kind = 1;
    std::int32_t offset_seconds = 0;
};

using UtcTime = std::chrono::sys_time<std::chrono::milliseconds>;

// The moment in UTC. Nothing for a date or time that is not valid (Qt's null date and time among
// them) and for one in a named time zone, which cannot be told without that zone's rules. Local
// time is this computer's, where the programs that send it run.
[[nodiscard]] std::optional<UtcTime> utc_of(const QtDateTime& time);

// Reads the big-endian fields of a Qt data stream from bytes held by the caller. A field that
// runs past the end, or is not well formed, gives nothing, and so does every read after it:
// a message is either read whole or found broken.
class QtStreamReader {
  public:
    explicit QtStreamReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    [[nodiscard]] std::optional<std::uint8_t> u8();
    [[nodiscard]] std::optional<std::uint32_t> u32();
    [[nodiscard]] std::optional<std::int32_t> i32();
    [[nodiscard]] std::optional<std::uint64_t> u64();
    [[nodiscard]] std::optional<std::int64_t> i64();
    // A byte array: a 32-bit length and that many bytes; the length 0xffffffff is the null array,
    // read as empty.
    [[nodiscard]] std::optional<std::string> bytes();
    [[nodiscard]] std::optional<QtDateTime> date_time();

    // Nothing is left: the message ends here (a message from an older program ends early).
    bool at_end() const { return m_broken || m_at == m_bytes.size(); }
    bool broken() const { return m_broken; }

  private:
    [[nodiscard]] std::optional<std::uint64_t> unsigned_of(std::size_t width);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
    bool m_broken = false;
};

} // namespace kestrel::digital
