#!/usr/bin/env python3
"""Sends contacts to Kestrel as WSJT-X does: for each, a "QSO Logged" datagram and a "Logged ADIF"
datagram (the programs send both), on UDP to 127.0.0.1:2237 unless told otherwise.

    tools/wsjtx_send.py [--port 2237] [--first 0] [--count 5] [--resend]

Contact n is K<n>ABC, on 14.074 MHz FT8 (odd n: 7.047 MHz FT4), n minutes after 10:00 UTC today.
"""
import argparse
import datetime
import socket
import struct

MAGIC = 0xADBCCBDA


def text(s):
    b = s.encode()
    return struct.pack(">I", len(b)) + b


def moment(t):
    julian = t.toordinal() + 1721425  # proleptic Gregorian ordinal to Julian day number
    ms = ((t.hour * 60 + t.minute) * 60 + t.second) * 1000
    return struct.pack(">QIB", julian, ms, 1)  # time kind 1: UTC


def header(kind):
    return struct.pack(">III", MAGIC, 3, kind) + text("WSJT-X")


def contact(n, day):
    on = datetime.datetime.combine(day, datetime.time(10, 0)) + datetime.timedelta(minutes=n)
    off = on + datetime.timedelta(seconds=75)
    ft4 = n % 2 == 1
    return {
        "call": "K%dABC" % n, "grid": "FN%02d" % (40 + n % 10), "hz": 7047000 if ft4 else 14074000,
        "mode": "FT4" if ft4 else "FT8", "sent": "-%02d" % (5 + n), "rcvd": "-%02d" % (8 + n),
        "power": "50", "on": on, "off": off,
    }


def qso_logged(c):
    return (header(5) + moment(c["off"]) + text(c["call"]) + text(c["grid"]) + struct.pack(">Q", c["hz"]) +
            text(c["mode"]) + text(c["sent"]) + text(c["rcvd"]) + text(c["power"]) + text("") + text("") +
            moment(c["on"]) + text("") + text("G4XYZ") + text("IO91") + text("") + text("") + text(""))


def logged_adif(c):
    def f(name, value):
        return "<%s:%d>%s " % (name, len(value), value)
    mode = f("mode", "MFSK") + f("submode", "FT4") if c["mode"] == "FT4" else f("mode", "FT8")
    adif = ("\n<adif_ver:5>3.1.0\n<programid:6>WSJT-X\n<EOH>\n" + f("call", c["call"]) + f("gridsquare", c["grid"]) +
            mode + f("rst_sent", c["sent"]) + f("rst_rcvd", c["rcvd"]) + f("qso_date", c["on"].strftime("%Y%m%d")) +
            f("time_on", c["on"].strftime("%H%M%S")) + f("qso_date_off", c["off"].strftime("%Y%m%d")) +
            f("time_off", c["off"].strftime("%H%M%S")) + f("freq", "%.6f" % (c["hz"] / 1e6)) +
            f("tx_pwr", c["power"]) + "<EOR>")
    return header(12) + text(adif)


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--port", type=int, default=2237)
    p.add_argument("--first", type=int, default=0)
    p.add_argument("--count", type=int, default=5)
    args = p.parse_args()
    day = datetime.datetime.now(datetime.timezone.utc).date()
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    for n in range(args.first, args.first + args.count):
        c = contact(n, day)
        s.sendto(qso_logged(c), (args.host, args.port))
        s.sendto(logged_adif(c), (args.host, args.port))
    print("sent %d contacts, each twice" % args.count)


if __name__ == "__main__":
    main()
