#!/usr/bin/env python3
"""Writes the simulated printers' .snmprec files of this folder.

Each printer is a description below; `build` turns it into a whole MIB
(system group, interfaces, IP, SNMP counters, Host Resources, Printer MIB,
vendor subtrees) so that walks see what a real device shows, not just the
objects the library reads. Run it after changing a printer, then commit the
files it wrote; README.md lists the values the tests check.
"""

from pathlib import Path

FAMILY = "1.3.6.1.4.1.119.1.40.297.93.1.38.8.6"
VENDOR = "1.3.6.1.4.1.253.8"
HR_DEV = "1.3.6.1.2.1.25.3.1"
VENDOR_DEV = VENDOR + ".52.2"
UTF8, SHIFT_JIS, LATIN1 = 106, 17, 4

# Feed x cross-feed dimensions in micrometres.
A4_LEF = (210000, 297000)
A4_SEF = (297000, 210000)
LETTER_LEF = (215900, 279400)
A5_SEF = (210000, 148000)
A3_SEF = (420000, 297000)
B5_JIS_SEF = (257000, 182000)
LEGAL_SEF = (355600, 215900)


def tray(name, kind, dims, unit=4, cap_unit=8, max_cap=500, level=250, media="A4",
         descr=None, media_type="stationery", color="white"):
    return dict(name=name, kind=kind, dims=dims, unit=unit, cap_unit=cap_unit,
                max_cap=max_cap, level=level, media=media, descr=descr or name,
                media_type=media_type, color=color)


def job(ident, state, name, owner, status_text, origin_text, reason_text, pages,
        created, started, completed, kind=1):
    return dict(ident=ident, state=state, name=name, owner=owner, status_text=status_text,
                origin_text=origin_text, reason_text=reason_text, pages=pages,
                created=created, started=started, completed=completed, kind=kind)


# Texts of the vendor string table, by (value) within group 101 (the arc
# that starts every job index).
JOB_STATUS_TEXTS = {1: "Printing", 2: "Completed", 3: "Held", 4: "Waiting"}
JOB_ORIGIN_TEXTS = {11: "Network", 12: "USB Direct Print", 13: "Internal"}
JOB_REASON_TEXTS = {21: "Completed Normally", 22: "Cancelled by User", 23: "Aborted by System"}

PRINTER_A = dict(
    sysobjectid=FAMILY + ".1.2",
    descr="Verdane 8300 Multifunction Printer; Controller 2.41.7; Engine 1.9.14",
    name="printer-a-floor2",
    contact="it-support@example.net",
    location="Building 4, floor 2, copy room",
    uptime=8640000,
    mac="0000c0a80a15",
    ip="192.168.10.21",
    memory_kb=524288,
    rom="Printer Controller v2.41.7 - Processor",
    devices=[
        (1, HR_DEV + ".5", "Verdane 8300", 2),
        (3, HR_DEV + ".6", "RAM Disk", 2),
        (10, HR_DEV + ".3", "Printer Controller v2.41.7 - Processor", 2),
        (11, HR_DEV + ".6", "Hard Disk Drive 160 GB", 2),
        (102, VENDOR_DEV + ".102", "Document Scanner", 2),
        (105, VENDOR_DEV + ".105", "Integrated Finisher", 2),
        (108, VENDOR_DEV + ".108", "Fax Module", 3),
        (110, VENDOR_DEV + ".154", "High Capacity Feeder", 2),
    ],
    # Five error-state octets: lowPaper and lowToner, inputTrayEmpty, two
    # octets of further bits and one more that no record keeps.
    printer_rows=[(1, 3, "a0040301ff")],
    storage=[
        (1, ".2", "Main Memory", 1024, 524288, 201344),
        (2, ".4", "Hard Disk", 4096, 39062500, 2531250),
        (3, ".8", "RAM Disk", 1024, 65536, 12288),
        (4, ".9", "Flash ROM", 1024, 131072, 98304),
    ],
    trays=[
        tray("Tray 1", 4, A4_SEF, max_cap=500, level=250, descr="Paper Tray 1 (A4)"),
        tray("Tray 2", 4, LETTER_LEF, max_cap=550, level=412, media="Letter",
             descr="Paper Tray 2 (Letter)"),
        tray("Bypass Tray", 5, A5_SEF, max_cap=100, level=-3, media="A5",
             descr="Manual Feed Tray", media_type="transparency", color="clear"),
    ],
    outputs=[("Center Output Tray", 4, 3, 500, "Face-down center tray"),
             ("Finisher Tray", 3, 4, 1000, "Finisher upper tray")],
    media_paths=[5, 3],
    supplies=[
        (1, 3, "Black Toner Cartridge", 19, 100, 12, "black"),
        (2, 3, "Cyan Toner Cartridge", 19, 100, 64, "cyan"),
        (3, 3, "Magenta Toner Cartridge", 19, 100, 58, "magenta"),
        (4, 3, "Yellow Toner Cartridge", 19, 100, 71, "yellow"),
        (5, 9, "Drum Cartridge", 7, 80000, 52311, None),
        (6, 4, "Waste Toner Container", 19, 100, 35, None),
    ],
    alerts=[(1, 4, 11, 1, 0, 1104, "Black toner is low", 8630000),
            (2, 4, 8, 3, 0, 807, "Bypass tray: paper low", 8635000)],
    localization=1,
    localizations=[(1, "en", "US", UTF8), (2, "ja", "JP", SHIFT_JIS)],
    netware="VERDANE8300_0A15",
    min_password=8,
    user_prompt=1,
    jobs=[
        job("P043", 17, "Draft contract.docx", "bob", 2, 11, 21, 3,
            "07e8030d101e2d00", "07e8030d101f0500", "07e8030d10200000"),
        job("JOB-0045", 5, "Poster A3.pdf", "frank", 1, 12, 21, 6,
            "07e8030e0a1e2d00", "07e8030e0a1f0500", "0000000000000000"),
        job("JOB-0042", 17, "Quarterly report.pdf", "alice", 2, 11, 21, 24,
            "07e8030e091e2d00", "07e8030e091f0000", "07e8030e09250c00"),
        job("JOB-0044", 17, "Scan to mail", "carol", 2, 13, 22, 1,
            "07e8030f00052a00", "07e8030f00052b00", "07e8030f00061700", kind=4),
        job("7", 3, "Held proof.pdf", "grace", 3, 11, 21, 2,
            "07e8030f0e000000", "0000000000000000", "0000000000000000", kind=2),
    ],
)

PRINTER_B = dict(
    PRINTER_A,
    sysobjectid=FAMILY + ".2.7",
    descr="Verdane 8300 Printer; Controller 3.5.12; Engine 2.0.1",
    name="printer-b-lab",
    contact="lab-admin@example.net",
    location="Lab 1.17",
    uptime=123456,
    mac="0000c0a80a16",
    ip="192.168.10.22",
    memory_kb=262144,
    rom="Printer Controller v3.5.12 - Processor",
    devices=[
        (1, HR_DEV + ".5", "Verdane 8300", 2),
        (2, HR_DEV + ".5", "Verdane 8300 Secondary Engine", 2),
        (10, HR_DEV + ".3", "Printer Controller v3.5.12 - Processor", 2),
        (11, HR_DEV + ".6", "Hard Disk Drive 80 GB", 2),
        (103, VENDOR_DEV + ".103", "Copier Module", 2),
        (105, VENDOR_DEV + ".105", "Integrated Finisher", 5),
        (108, VENDOR_DEV + ".108", "Fax Module", 2),
        (116, VENDOR_DEV + ".201", "Tandem Tray Module", 2),
    ],
    printer_rows=[(1, 3, "0000"), (2, 4, "80")],
    storage=[
        (1, ".2", "Main Memory", 1024, 262144, 150000),
        (2, ".4", "Hard Disk", 4096, 19531250, 812500),
    ],
    trays=[
        tray("Tray 1", 4, B5_JIS_SEF, max_cap=1000, level=0, media="B5 (JIS)",
             descr="Paper Tray 1"),
        tray("Tray 2", 4, A3_SEF, max_cap=500, level=499, media="A3", descr="Paper Tray 2"),
        tray("Envelope Feeder", 6, (85000, 110000), unit=3, cap_unit=3, max_cap=20000,
             level=5000, media="Custom", descr="Envelope Feeder", media_type="envelope"),
    ],
    outputs=[("Main Output Bin", 4, 4, 250, "Face-down output bin")],
    media_paths=[5],
    supplies=[
        (1, 3, "Black Toner Cartridge", 19, 100, 88, "black"),
        (2, 9, "Drum Cartridge", 7, 60000, 1200, None),
        (3, 4, "Waste Toner Container", 19, 100, 5, None),
        (4, 15, "Fuser Unit", 7, 150000, 149000, None),
    ],
    alerts=[(1, 3, 6, 1, 0, 3, "Front cover is open", 120000)],
    localization=2,
    netware="VERDANE8300_0A16",
    min_password=12,
    user_prompt=0,
    jobs=[
        job("JOB-0107", 17, "Invoice 2024-117.pdf", "dave", 2, 11, 21, 2,
            "07e80401080f0000", "07e80401080f0300", "07e80401080f1400"),
        job("JOB-0108", 17, "Label sheet", "erin", 2, 12, 23, 1,
            "07e8040108100000", "07e8040108100100", "07e8040108100500"),
    ],
)

PRINTER_BADVERSION = dict(
    PRINTER_A,
    sysobjectid=FAMILY,
    descr="Verdane 8300 Printer; Controller (field test build)",
    name="printer-fieldtest",
    uptime=4200,
    mac="0000c0a80a17",
    ip="192.168.10.23",
    memory_kb=393216,
    rom="Controller v1.20.3 - Processor",
    devices=[
        (1, HR_DEV + ".5", "Verdane 8300", 2),
        (3, HR_DEV + ".6", "RAM Disk", 2),
        (10, HR_DEV + ".3", "Controller v1.20.3 - Processor", 2),
        (11, HR_DEV + ".6", "Hard Disk Drive 160 GB", 2),
    ],
    supplies=[
        (1, 3, "Black Toner Cartridge", 19, 100, 40, "black"),
        (2, 3, "Red Toner Cartridge", 19, 100, 75, "red"),
        (3, 9, "Drum Cartridge", 7, 80000, 100, None),
        (4, 4, "Waste Toner Container", 19, 100, 10, None),
    ],
    netware="VERDANE8300_0A17",
)

PRINTER_MANYTRAYS = dict(
    PRINTER_A,
    sysobjectid=FAMILY + ".3.1",
    descr="Verdane 8300 Production Printer; Controller 2.50.0",
    name="printer-production",
    mac="0000c0a80a18",
    ip="192.168.10.24",
    memory_kb=2097152,
    rom="Printer Controller v2.50.0 - Processor",
    devices=PRINTER_A["devices"][:2] + [
        (10, HR_DEV + ".3", "Printer Controller v2.50.0 - Processor", 2)] + PRINTER_A["devices"][3:],
    trays=[tray(f"Tray {n}", 4, A4_SEF if n % 2 else LETTER_LEF, max_cap=100 * n,
                level=40 * n, media="A4" if n % 2 else "Letter",
                descr=f"Feeder module {(n + 4) // 5}, bin {(n - 1) % 5 + 1}")
           for n in range(1, 26)],
    # Nothing to report: the alert and job tables are empty.
    alerts=[],
    jobs=[],
    netware="VERDANE8300_0A18",
)

PRINTER_PREFIX61 = dict(
    PRINTER_A,
    sysobjectid=FAMILY[:-1] + "61",
    descr="Verdane 8100 Printer; Controller 1.2.0",
    name="printer-lookalike",
    mac="0000c0a80a19",
    ip="192.168.10.25",
    rom="Printer Controller v1.2.0 - Processor",
    netware="VERDANE8100_0A19",
)

OTHER_VENDOR = dict(
    PRINTER_A,
    sysobjectid="1.3.6.1.4.1.64999.2.3.1",
    descr="Kestrel LX-40 Laser Printer, firmware 7.2",
    name="kestrel-lx40",
    contact="",
    location="Reception",
    mac="0000c0a80a1a",
    ip="192.168.10.26",
    memory_kb=131072,
    rom="Kestrel LX-40 Main Board",
    devices=[
        (1, HR_DEV + ".5", "Kestrel LX-40", 2),
        (2, HR_DEV + ".4", "Ethernet 10/100", 2),
        (10, HR_DEV + ".3", "Kestrel LX-40 Main Board", 2),
    ],
    storage=[(1, ".2", "RAM", 1024, 131072, 50000)],
    trays=[tray("Cassette", 4, A4_SEF, max_cap=250, level=100, descr="Cassette"),
           tray("MP Tray", 5, A4_SEF, max_cap=50, level=0, descr="Multi-purpose tray")],
    outputs=[("Top Bin", 4, 4, 150, "Face-down top bin")],
    media_paths=[5, 4],
    supplies=[(1, 3, "Toner Kit", 19, 100, 55, "black")],
    alerts=[],
    vendor=False,
    jobs=[],
)

# Tables 59.6 and 59.16 indexed by row number (1, 2, 3) while table 59.10
# keeps the identifier index; rows numbered in the identifiers' walk order.
# Identifiers of eight and nine characters that share their first eight.
PRINTER_ROWINDEX = dict(
    PRINTER_A,
    sysobjectid=FAMILY + ".4.1",
    name="printer-rowindex",
    mac="0000c0a80a1b",
    ip="192.168.10.27",
    netware="VERDANE8300_0A1B",
    job_index="row",
    # Storage whose size is not known: both numbers, or the size alone, -1.
    storage=PRINTER_A["storage"] + [(5, ".4", "Removed Disk", -1, -1, 0),
                                    (6, ".4", "Failed Disk", 4096, -1, 0)],
    # A description that would recolour a terminal, break a line and ring
    # (16 octets at most: Net-SNMP prints longer hex strings over lines).
    alerts=[(1, 4, 11, 1, 0, 1104, "\x1b[31mLow\nToner\x07", 8630000)],
    jobs=[
        job("JOB-0045", 5, "Poster A3.pdf", "frank", 1, 12, 21, 6,
            "07e8030e0a1e2d00", "07e8030e0a1f0500", "0000000000000000"),
        job("JOB-00451", 3, "Poster A3 copy.pdf", "frank", 3, 11, 21, 6,
            "07e8030e0a202d00", "0000000000000000", "0000000000000000"),
        job("JOB-00452", 17, "Poster A2.pdf", "grace", 2, 11, 22, 4,
            "07e8030e0b1e2d00", "07e8030e0b1f0500", "07e8030e0b200000", kind=3),
        # An identifier that is not printable ASCII (its last octet is 0xE9).
        # ... whose completion time is out of every range (-1-13-32 255:60:61).
        job("JOB\u00e9", 4, "Fax in.pdf", "heidi", 4, 13, 21, 1,
            "07e8030e0c000000", "0000000000000000", "ffff0d20ff3c3d00", kind=5),
    ],
)

# printer-a without sysName and without the string-table text "Internal".
PRINTER_MISSINGTEXT = dict(
    PRINTER_A,
    sysobjectid=FAMILY + ".4.2",
    name=None,
    mac="0000c0a80a1c",
    ip="192.168.10.28",
    netware="VERDANE8300_0A1C",
    missing_texts={13},
)

# printer-a's jobs with table 59.10 holding the first three and table 59.16
# the first two, and nothing served past table 59.16 (no NetWare objects, no
# cancel objects), so that an SNMPv1 GETNEXT there answers noSuchName.
PRINTER_SHORT16 = dict(
    PRINTER_A,
    sysobjectid=FAMILY + ".4.3",
    name="printer-short16",
    mac="0000c0a80a1d",
    ip="192.168.10.29",
    table10_rows=3,
    table16_rows=2,
    tail=False,
)

# One printer per overall state (printer-a, with lowPaper and lowToner on a
# running device, is the warning one): printer-a's tables with the printer
# device's hrDeviceStatus, hrPrinterStatus and error state of that state,
# page counters in impressions and sheets, and supplies that are full,
# empty or only "some left".
def state_printer(n, name, device_status, printer_status, error_state, **rest):
    return dict(
        PRINTER_A,
        sysobjectid=FAMILY + f".5.{n}",
        name=name,
        mac=f"0000c0a80b{n:02x}",
        ip=f"192.168.11.{n}",
        netware=f"VERDANE8300_0B{n:02X}",
        devices=[(1, HR_DEV + ".5", "Verdane 8300", device_status)] + PRINTER_A["devices"][1:],
        printer_rows=[(1, printer_status, error_state)],
        alerts=[],
        **rest,
    )


# Marker rows: index, marking technology, counter unit, life count,
# power-on count, process colorants.
MARKERS_A = [(1, 4, 3, 182734, 0, 3)]
COLOUR_SUPPLIES = [
    (1, 3, "Black Toner Cartridge", 19, 100, 100, "black"),
    (2, 3, "Cyan Toner Cartridge", 19, 100, 97, "cyan"),
    (3, 3, "Magenta Toner Cartridge", 19, 100, 95, "magenta"),
    (4, 3, "Yellow Toner Cartridge", 19, 100, 96, "yellow"),
    (5, 9, "Drum Cartridge", 7, 80000, 79000, None),
    (6, 4, "Waste Toner Container", 19, 100, 2, None),
]
PRINTER_IDLE = state_printer(
    1, "printer-idle", 2, 3, "0000",
    # A tandem engine: one marker counting impressions, one sheets.
    markers=[(1, 4, 7, 48213, 1520, 4), (2, 4, 8, 24107, 760, 1)],
    supplies=COLOUR_SUPPLIES)
PRINTER_PRINTING = state_printer(
    2, "printer-printing", 2, 4, "0000", markers=[(1, 4, 7, 1048576, 20480, 4)],
    supplies=COLOUR_SUPPLIES)
PRINTER_WARMUP = state_printer(
    3, "printer-warmup", 5, 5, "0000", markers=[(1, 4, 7, 310, 0, 4)],
    supplies=COLOUR_SUPPLIES)
# Jammed with its door open; the black toner is empty.
PRINTER_DOWN = state_printer(
    4, "printer-down", 5, 1, "0c00", markers=[(1, 4, 7, 731502, 4410, 4)],
    supplies=[(1, 3, "Black Toner Cartridge", 19, 100, 0, "black")] + COLOUR_SUPPLIES[1:])
# Offline for no other reason; the cyan toner reports only "some left".
PRINTER_OFFLINE = state_printer(
    5, "printer-offline", 5, 1, "0200", markers=[(1, 4, 7, 90210, 0, 4)],
    supplies=COLOUR_SUPPLIES[:1] + [(2, 3, "Cyan Toner Cartridge", 19, 100, -3, "cyan")]
    + COLOUR_SUPPLIES[2:])
PRINTER_TESTING = state_printer(
    6, "printer-testing", 4, 1, "0000", markers=[(1, 4, 7, 12, 12, 4)],
    supplies=COLOUR_SUPPLIES)

# Texts in three character sets, each named by the printer's current
# localization: a tray name that is not UTF-8 must still reach the user.
def charset_printer(name, n, localization, tray_name):
    return dict(
        PRINTER_A,
        sysobjectid=FAMILY + f".6.{n}",
        name=name,
        mac=f"0000c0a80a2{n}",
        ip=f"192.168.10.3{n}",
        netware=f"VERDANE8300_0A2{n}",
        localization=localization,
        localizations=PRINTER_A["localizations"] + [(3, "de", "DE", LATIN1)],
        trays=[tray(tray_name, 4, A4_SEF, descr="Paper Tray 1 (A4)")] + PRINTER_A["trays"][1:],
    )


PRINTER_LATIN1 = charset_printer("printer-latin1", 1, 3, b"Tray \xff\xfe \xc3(")
PRINTER_SJIS = charset_printer("printer-sjis", 2, 2, "トレイ１".encode("shift_jis"))
PRINTER_BADUTF8 = charset_printer("printer-badutf8", 3, 1, b"Tray \xff\xfe \xc3(")

PRINTERS = {
    "printer-latin1": PRINTER_LATIN1,
    "printer-sjis": PRINTER_SJIS,
    "printer-badutf8": PRINTER_BADUTF8,
    "printer-idle": PRINTER_IDLE,
    "printer-printing": PRINTER_PRINTING,
    "printer-warmup": PRINTER_WARMUP,
    "printer-down": PRINTER_DOWN,
    "printer-offline": PRINTER_OFFLINE,
    "printer-testing": PRINTER_TESTING,
    "printer-a": PRINTER_A,
    "printer-rowindex": PRINTER_ROWINDEX,
    "printer-missingtext": PRINTER_MISSINGTEXT,
    "printer-short16": PRINTER_SHORT16,
    "printer-b": PRINTER_B,
    "printer-badversion": PRINTER_BADVERSION,
    "printer-manytrays": PRINTER_MANYTRAYS,
    "printer-prefix61": PRINTER_PREFIX61,
    "other-vendor": OTHER_VENDOR,
}


class Mib:
    def __init__(self):
        self.rows = {}

    def add(self, oid, tag, value):
        assert oid not in self.rows, oid
        self.rows[oid] = (tag, value)

    def text(self):
        key = lambda oid: tuple(int(a) for a in oid.split("."))
        return "".join(f"{oid}|{self.rows[oid][0]}|{self.rows[oid][1]}\n"
                       for oid in sorted(self.rows, key=key))


def text_value(text):
    """An OCTET STRING line value: as it is, or in hex when it holds control characters
    or is given as bytes (a text in another character set)."""
    if isinstance(text, bytes):
        return ("4x", text.hex())
    return (4, text) if text.isprintable() else ("4x", text.encode("latin-1").hex())


def ascii_arcs(text):
    return f"{len(text)}." + ".".join(str(ord(c)) for c in text)


def build(p):
    m = Mib()
    s = "1.3.6.1.2.1.1"
    for n, tag, value in ((1, 4, p["descr"]), (2, 6, p["sysobjectid"]), (3, 67, p["uptime"]),
                          (4, 4, p["contact"]), (5, 4, p["name"]), (6, 4, p["location"]),
                          (7, 2, 72), (8, 67, 0)):
        if value is not None:
            m.add(f"{s}.{n}.0", tag, value)
    for n, oid, descr in ((1, "1.3.6.1.2.1.43.2.2", "Printer MIB"),
                          (2, "1.3.6.1.2.1.25.7.1", "Host Resources MIB")):
        m.add(f"{s}.9.1.2.{n}", 6, oid)
        m.add(f"{s}.9.1.3.{n}", 4, descr)
        m.add(f"{s}.9.1.4.{n}", 67, 0)

    # interfaces: the Ethernet port and the loopback
    i = "1.3.6.1.2.1.2"
    m.add(f"{i}.1.0", 2, 2)
    for idx, descr, kind, mtu, speed, mac in ((1, "Ethernet", 6, 1500, 1000000000, p["mac"]),
                                              (2, "Loopback", 24, 1536, 0, "")):
        cols = {1: (2, idx), 2: (4, descr), 3: (2, kind), 4: (2, mtu), 5: (66, speed),
                6: ("4x", mac), 7: (2, 1), 8: (2, 1), 9: (67, 0), 10: (65, 18234 * idx * 97),
                11: (65, 1211 * idx), 12: (65, 3322 // idx), 13: (65, 0), 14: (65, 0),
                15: (65, 0), 16: (65, 9123 * idx * 55), 17: (65, 1198 * idx),
                18: (65, 12 // idx), 19: (65, 0), 20: (65, 0), 21: (66, 0), 22: (6, "0.0")}
        for col, (tag, value) in cols.items():
            m.add(f"{i}.2.1.{col}.{idx}", tag, value)

    ip = "1.3.6.1.2.1.4"
    m.add(f"{ip}.1.0", 2, 2)
    m.add(f"{ip}.2.0", 2, 64)
    for addr, ifidx, mask in ((p["ip"], 1, "255.255.255.0"), ("127.0.0.1", 2, "255.0.0.0")):
        m.add(f"{ip}.20.1.1.{addr}", 64, addr)
        m.add(f"{ip}.20.1.2.{addr}", 2, ifidx)
        m.add(f"{ip}.20.1.3.{addr}", 64, mask)
        m.add(f"{ip}.20.1.4.{addr}", 2, 1)

    snmp = "1.3.6.1.2.1.11"
    for n, value in ((1, 4211), (2, 4209), (3, 0), (4, 2), (30, 2)):
        m.add(f"{snmp}.{n}.0", 2 if n == 30 else 65, value)

    add_host_resources(m, p)
    add_printer_mib(m, p)
    if p.get("vendor", True):
        add_vendor(m, p)
    else:
        # The other vendor keeps its own small private subtree.
        base = p["sysobjectid"].rsplit(".", 3)[0]
        m.add(f"{base}.1.1.0", 4, "LX-40")
        m.add(f"{base}.1.2.0", 4, "KLX40-0031337")
        m.add(f"{base}.1.3.0", 2, 1)
    return m.text()


def add_host_resources(m, p):
    hr = "1.3.6.1.2.1.25"
    m.add(f"{hr}.1.1.0", 67, p["uptime"] + 500)
    m.add(f"{hr}.1.2.0", "4x", "07e8030e0b000000")
    m.add(f"{hr}.1.5.0", 66, 0)
    m.add(f"{hr}.1.6.0", 66, 37)
    m.add(f"{hr}.1.7.0", 2, 0)
    m.add(f"{hr}.2.2.0", 2, p["memory_kb"])
    for idx, kind, descr, units, size, used in p["storage"]:
        m.add(f"{hr}.2.3.1.1.{idx}", 2, idx)
        m.add(f"{hr}.2.3.1.2.{idx}", 6, f"{hr}.2.1{kind}")
        m.add(f"{hr}.2.3.1.3.{idx}", 4, descr)
        m.add(f"{hr}.2.3.1.4.{idx}", 2, units)
        m.add(f"{hr}.2.3.1.5.{idx}", 2, size)
        m.add(f"{hr}.2.3.1.6.{idx}", 2, used)
        m.add(f"{hr}.2.3.1.7.{idx}", 65, 0)
    for idx, kind, descr, status in p["devices"]:
        m.add(f"{hr}.3.2.1.1.{idx}", 2, idx)
        m.add(f"{hr}.3.2.1.2.{idx}", 6, kind)
        m.add(f"{hr}.3.2.1.3.{idx}", 4, descr)
        m.add(f"{hr}.3.2.1.4.{idx}", 6, "0.0")
        m.add(f"{hr}.3.2.1.5.{idx}", 2, status)
        m.add(f"{hr}.3.2.1.6.{idx}", 65, 0 if status == 2 else 3)
        if kind == HR_DEV + ".3":
            m.add(f"{hr}.3.3.1.1.{idx}", 6, "0.0")
            m.add(f"{hr}.3.3.1.2.{idx}", 2, 4)
        if kind == HR_DEV + ".4":
            m.add(f"{hr}.3.4.1.1.{idx}", 2, 1)
        if kind == HR_DEV + ".6":
            ram = "RAM" in descr
            m.add(f"{hr}.3.6.1.1.{idx}", 2, 1)
            m.add(f"{hr}.3.6.1.2.{idx}", 2, 8 if ram else 3)
            m.add(f"{hr}.3.6.1.3.{idx}", 2, 2)
            m.add(f"{hr}.3.6.1.4.{idx}", 2, 65536 if ram else 156250000)
    for idx, status, error_state in p["printer_rows"]:
        m.add(f"{hr}.3.5.1.1.{idx}", 2, status)
        m.add(f"{hr}.3.5.1.2.{idx}", "4x", error_state)


def add_printer_mib(m, p):
    prt = "1.3.6.1.2.1.43"
    general = {1: (65, 12), 2: (2, p["localization"]), 3: (2, 3), 4: (4, ""),
               5: (4, p["contact"]), 6: (2, 1), 7: (2, 1), 8: (2, 1), 9: (2, 1),
               10: (2, p["localization"]), 11: (2, 4), 12: (2, 40), 13: (2, 3),
               16: (4, p["name"] or ""), 17: (4, "SN" + p["mac"][-6:].upper())}
    for col, (tag, value) in general.items():
        m.add(f"{prt}.5.1.1.{col}.1", tag, value)
    m.add(f"{prt}.5.2.1.2.1.1", 2, 1)
    m.add(f"{prt}.5.3.1.2.1.1", 2, 1)
    for idx, descr, status in ((1, "Front Cover", 4), (2, "Right Door", 4)):
        m.add(f"{prt}.6.1.1.2.1.{idx}", 4, descr)
        m.add(f"{prt}.6.1.1.3.1.{idx}", 2, status)
    for idx, lang, country, charset in p["localizations"]:
        m.add(f"{prt}.7.1.1.2.1.{idx}", 4, lang)
        m.add(f"{prt}.7.1.1.3.1.{idx}", 4, country)
        m.add(f"{prt}.7.1.1.4.1.{idx}", 2, charset)

    for idx, t in enumerate(p["trays"], 1):
        feed, xfeed = t["dims"]
        cols = {2: (2, t["kind"]), 3: (2, t["unit"]), 4: (2, feed), 5: (2, xfeed),
                6: (2, feed), 7: (2, xfeed), 8: (2, t["cap_unit"]), 9: (2, t["max_cap"]),
                10: (2, t["level"]), 11: (2, 0), 12: (4, t["media"]), 13: text_value(t["name"]),
                14: (4, "Verdane" if p.get("vendor", True) else "Kestrel"), 15: (4, ""),
                16: (4, ""), 17: (4, ""), 18: text_value(t["descr"]), 19: (2, 5), 20: (2, 80),
                21: (4, t["media_type"]), 22: (4, t["color"]), 23: (2, 1)}
        for col, (tag, value) in cols.items():
            m.add(f"{prt}.8.2.1.{col}.1.{idx}", tag, value)

    for idx, (name, kind, stacking, cap, descr) in enumerate(p["outputs"], 1):
        cols = {2: (2, kind), 3: (2, 8), 4: (2, cap), 5: (2, -3), 6: (2, 0), 7: (4, name),
                8: (4, ""), 9: (4, ""), 10: (4, ""), 11: (4, ""), 12: (4, descr), 13: (2, 5),
                14: (2, 4), 15: (2, 297000), 16: (2, 420000), 17: (2, 100000),
                18: (2, 148000), 19: (2, 4), 20: (2, 3), 21: (2, 5), 22: (2, 5),
                23: (2, 5), 24: (2, stacking)}
        for col, (tag, value) in cols.items():
            m.add(f"{prt}.9.2.1.{col}.1.{idx}", tag, value)

    for idx, tech, unit, life, power_on, colorants in p.get("markers", MARKERS_A):
        marker = {2: (2, tech), 3: (2, unit), 4: (65, life), 5: (65, power_on), 6: (2, colorants),
                  7: (2, 3), 8: (2, 600), 9: (2, 600), 10: (2, 4), 11: (2, 4233),
                  12: (2, 4233), 13: (2, 4233), 14: (2, 4233), 15: (2, 0)}
        for col, (tag, value) in marker.items():
            m.add(f"{prt}.10.2.1.{col}.1.{idx}", tag, value)

    colorants = []
    for idx, kind, descr, unit, cap, level, colour in p["supplies"]:
        colorant = 0
        if colour:
            colorants.append(colour)
            colorant = len(colorants)
        cols = {2: (2, 1), 3: (2, colorant), 4: (2, 4 if kind == 4 else 3), 5: (2, kind),
                6: (4, descr), 7: (2, unit), 8: (2, cap), 9: (2, level)}
        for col, (tag, value) in cols.items():
            m.add(f"{prt}.11.1.1.{col}.1.{idx}", tag, value)
    for idx, colour in enumerate(colorants, 1):
        m.add(f"{prt}.12.1.1.2.1.{idx}", 2, 1)
        m.add(f"{prt}.12.1.1.3.1.{idx}", 2, 3)
        m.add(f"{prt}.12.1.1.4.1.{idx}", 4, colour)
        m.add(f"{prt}.12.1.1.5.1.{idx}", 2, 256)

    for idx, kind in enumerate(p["media_paths"], 1):
        names = {3: "Duplex Unit (long edge)", 4: "Duplex Unit (short edge)", 5: "Simplex Path"}
        cols = {2: (2, 4), 3: (2, 4), 4: (2, 45), 5: (2, 431800), 6: (2, 297000),
                7: (2, 148000), 8: (2, 100000), 9: (2, kind), 10: (4, names[kind]), 11: (2, 0)}
        for col, (tag, value) in cols.items():
            m.add(f"{prt}.13.4.1.{col}.1.{idx}", tag, value)

    for idx, kind, proto, descr in ((1, 42, "lpd", "LPD Server"), (2, 38, "raw", "Port 9100"),
                                    (3, 45, "ipp", "IPP Server")):
        cols = {2: (2, kind), 3: (4, "1.0"), 4: (2, 1), 5: (2, 1), 6: (4, descr),
                7: (2, 3), 8: (2, 0), 9: (4, proto)}
        for col, (tag, value) in cols.items():
            m.add(f"{prt}.14.1.1.{col}.1.{idx}", tag, value)

    for idx, lang, descr in ((1, 47, "PCL 6"), (2, 6, "PostScript 3")):
        cols = {2: (2, lang), 3: (4, descr), 4: (4, "1.0"), 5: (4, ""), 6: (2, 1),
                7: (2, 3), 8: (2, 1), 9: (2, 1), 10: (2, 600), 11: (2, 600), 12: (2, 2)}
        for col, (tag, value) in cols.items():
            m.add(f"{prt}.15.1.1.{col}.1.{idx}", tag, value)

    for idx, line in ((1, "Ready"), (2, p["name"] or "")):
        m.add(f"{prt}.16.5.1.2.1.{idx}", 4, line)
    for col, (tag, value) in {2: (2, 1000), 3: (2, 0), 4: (2, 4), 5: (4, "Ready")}.items():
        m.add(f"{prt}.17.6.1.{col}.1.1", tag, value)

    for idx, severity, group, gindex, location, code, descr, when in p["alerts"]:
        cols = {2: (2, severity), 3: (2, 4), 4: (2, group), 5: (2, gindex), 6: (2, location),
                7: (2, code), 8: text_value(descr), 9: (67, when)}
        for col, (tag, value) in cols.items():
            m.add(f"{prt}.18.1.1.{col}.1.{idx}", tag, value)


def add_vendor(m, p):
    v = VENDOR
    m.add(f"{v}.51.3.1.1.1.1", 2, 1)
    m.add(f"{v}.51.3.1.1.2.1", 4, "en-US")
    for loc, charset in ((1, UTF8), (2, SHIFT_JIS)):
        m.add(f"{v}.51.4.1.1.7.1.{loc}", 2, charset)
    texts = {**JOB_STATUS_TEXTS, **JOB_ORIGIN_TEXTS, **JOB_REASON_TEXTS}
    by_row = p.get("job_index") == "row"
    # The texts of a job's columns are looked up under the first arc of the
    # column's index: 101 for identifier indexes, the row number otherwise.
    groups = [101] + (list(range(1, len(p["jobs"]) + 1)) if by_row else [])
    for group in groups:
        for value, text in texts.items():
            if value not in p.get("missing_texts", ()):
                m.add(f"{v}.51.5.1.1.4.{group}.{value}.{UTF8}", 4, text)

    m.add(f"{v}.53.3.2.1.2.1", 4, "Verdane 8300")
    m.add(f"{v}.53.3.2.1.3.1", 4, "SN" + p["mac"][-6:].upper())
    for col, value in ((1, 1), (2, 1), (3, 0), (4, 1), (5, p["min_password"]),
                       (6, p["user_prompt"]), (7, 3)):
        m.add(f"{v}.53.13.2.1.6.1.1.{col}", 2, value)

    tail = p.get("tail", True)
    for col, (tag, value) in {1: (2, 10), 2: (2, 1), 3: (4, "VERDANE_TREE"),
                              4: (4, "O=Printing"), 5: (2, 1), 6: (2, 4),
                              7: (4, p["netware"])}.items():
        if tail:
            m.add(f"{v}.64.4.2.1.{col}.10.19159104", tag, value)

    walk_order = sorted(p["jobs"], key=lambda j: (len(j["ident"]), j["ident"]))
    for row, j in enumerate(walk_order, 1):
        idx = "101." + ascii_arcs(j["ident"])
        own = str(row) if by_row else idx  # the index of tables 59.6 and 59.16
        m.add(f"{v}.59.6.1.1.2.{own}", 4, j["owner"])
        m.add(f"{v}.59.6.1.1.3.{own}", 4, j["name"])
        m.add(f"{v}.59.6.1.1.4.{own}", 6, f"{v}.58.2.{j['kind']}")
        m.add(f"{v}.59.6.1.1.5.{own}", 2, j["status_text"])
        m.add(f"{v}.59.6.1.1.6.{own}", 2, j["origin_text"])
        m.add(f"{v}.59.6.1.1.9.{own}", 2, j["state"])
        m.add(f"{v}.59.6.1.1.10.{own}", 2, j["pages"])
        if row <= p.get("table10_rows", len(walk_order)):
            m.add(f"{v}.59.10.1.1.7.{idx}", 2, j["reason_text"])
            m.add(f"{v}.59.10.1.1.10.{idx}", "4x", j["created"])
        if row <= p.get("table16_rows", len(walk_order)):
            m.add(f"{v}.59.16.1.1.4.{own}", "4x", j["started"])
            m.add(f"{v}.59.16.1.1.5.{own}", 66, j["pages"])
            m.add(f"{v}.59.16.1.1.6.{own}", 66, (j["pages"] + 1) // 2)
            m.add(f"{v}.59.16.1.1.7.{own}", "4x", j["completed"])
        if j["state"] != 17 and tail:
            # Only unfinished jobs can be cancelled; the SET is remembered.
            m.add(f"{v}.76.3.2.1.1.{idx}", "2:writecache", "value=0")


def main():
    here = Path(__file__).resolve().parent
    for name, printer in PRINTERS.items():
        (here / f"{name}.snmprec").write_text(build(printer))


if __name__ == "__main__":
    main()
