#!/usr/bin/env python3
"""Test laboratory: simulated printers, private Net-SNMP agents, a scripted
SNMP peer and virtual LANs in network namespaces.

One place starts and stops everything the tests, the demo and later tools
need, and always cleans up: every process it starts is recorded in a state
folder together with its owner (the process that asked for it); `stop`,
`lan down` and `cleanup` remove what they find, and every `start` first
reaps what crashed owners left behind.

Sub-commands (each prints what a caller needs, one item per line):
  snmpsim start --data-dir D --endpoint 127.0.0.21:161 [--endpoint [::1]:161]
                [--serve FILE[:COMMUNITY]]... [--netns NS] [--community C]
                [--v3user NAME:AUTH:APASS:PRIV:PPASS] (AUTH, PRIV: NONE too)
                                                              -> pid
  snmpd start --address 127.0.0.31 [--address [::1]] [--port 161]
              [--community public] [--rwcommunity private]
              [--sysobjectid OID] [--v3user NAME:AUTH:APASS:PRIV:PPASS]
              [--conf-line LINE] [--data-file F.snmprec] [--netns NS]
                                                              -> pid
  peer start --bind 127.0.0.41:16100 --mode MODE [--mode MODE] --log FILE
             [--netns NS]                                     -> pid
  stop PID [PID...]
  lan up --name N --hosts client=198.18.0.1,p1=198.18.0.11 [--ipv6]
                                       -> "host namespace ipv4 ipv6" lines
  lan down --name N
  lan exec --name N --host H -- COMMAND...
  free-address [--port 161]                                   -> 127.x.y.z
  cleanup [--all]

Peer modes (several may be combined; silent wins):
  echo                  answer every request (the default)
  silent                never answer
  silent-first:K        ignore the first K requests, then answer
  silent-after:K        answer the first K requests, then none
  late-stale[:S[:A]]    after S ms (100) send an answer carrying an older
                        request id; after A ms send the true answer (never
                        when A is omitted or "-")
  toobig-above:N        answer tooBig when a request holds more than N bindings
  error-at:OID[:STATUS] answer STATUS (2, noSuchName) with the error-index of
                        the binding whose OID is OID
  garbage-first         send bytes that are no SNMP message before the answer
  walk:ROWS             answer a GETNEXT as a table of ROWS rows ("-": rows
                        without end) under every column asked: column C
                        gives C.1001, C.K gives C.K+1, the last row gives
                        the next column's first; an error-status answer
                        echoes the request instead
  integer:N             every value of a GETNEXT answer is the INTEGER N, in
                        the fewest octets that hold it with its sign octet
                        (-2147483648 as FF 80 00 00 00)
  sysobjectid:OID       a GET of sysObjectID.0 answers OID
An answer echoes the request's bindings; a NULL value becomes an OCTET STRING
holding the binding's OID text, so a test can tell the bindings apart.
Every datagram received is logged as "<count> <sender> <hex bytes>".
"""

import argparse
import fcntl
import ipaddress
import json
import os
import random
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

# Per user: a run without root keeps its own records and locks.
STATE_DIR = Path(tempfile.gettempdir()) / f"orvlab-state-{os.getuid()}"
READY_TIMEOUT_S = 30.0
STOP_TIMEOUT_S = 5.0
LOCK_TIMEOUT_S = 120.0
NAME_RE = re.compile(r"^[A-Za-z0-9_.]{1,40}$")
QUIET_ENV = {"MIBS": "", "MIBDIRS": ""}


class LabError(Exception):
    pass


# ---------------------------------------------------------------- processes

def proc_starttime(pid):
    """Start time of a live process, None when it is gone or a zombie."""
    try:
        stat = Path(f"/proc/{pid}/stat").read_text()
    except OSError:
        return None
    fields = stat[stat.rindex(")") + 2:].split()
    if fields[0] in ("Z", "X"):
        return None
    return int(fields[19])


def state_dir():
    STATE_DIR.mkdir(mode=0o700, exist_ok=True)
    return STATE_DIR


def owner_alive(entry):
    owner = entry.get("owner")
    return owner is not None and proc_starttime(owner) == entry.get("owner_start")


def entries(prefix):
    for path in sorted(state_dir().glob(prefix + "-*.json")):
        try:
            yield path, json.loads(path.read_text())
        except (OSError, ValueError):
            path.unlink(missing_ok=True)


def new_workdir(kind):
    work = Path(tempfile.mkdtemp(prefix=f"orvlab-{kind}-"))
    # Agents drop to nobody and must still reach their files.
    work.chmod(0o755)
    return work


def lock_endpoint(key, timeout):
    """Serialises agents of concurrent runs on one fixed address and port.

    The started agent inherits the descriptor, so the lock lasts exactly as
    long as the agent does."""
    locks = state_dir() / "locks"
    locks.mkdir(exist_ok=True)
    fd = os.open(locks / re.sub(r"[^A-Za-z0-9_.-]", "_", key), os.O_RDWR | os.O_CREAT, 0o600)
    deadline = time.monotonic() + timeout
    while True:
        try:
            fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
            return fd
        except BlockingIOError:
            if time.monotonic() >= deadline:
                os.close(fd)
                raise LabError(f"{key} stays in use by another run of the tests")
            time.sleep(0.1)


def spawn(kind, argv, work, owner, netns=None, env=None, pass_fds=()):
    if netns:
        argv = ["ip", "netns", "exec", netns] + argv
    full_env = dict(os.environ)
    full_env.update(env or {})
    with open(work / "output.log", "ab") as out:
        proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                env=full_env, start_new_session=True,
                                pass_fds=pass_fds, close_fds=True)
    entry = {"pid": proc.pid, "start": None, "kind": kind, "workdir": str(work),
             "netns": netns, "owner": owner, "owner_start": proc_starttime(owner)}
    for _ in range(100):
        entry["start"] = proc_starttime(proc.pid)
        if entry["start"] is not None or proc.poll() is not None:
            break
        time.sleep(0.01)
    (state_dir() / f"proc-{proc.pid}.json").write_text(json.dumps(entry))
    return proc


def output_tail(work, lines=20):
    try:
        text = (Path(work) / "output.log").read_text(errors="replace")
    except OSError:
        return ""
    return "\n".join(text.splitlines()[-lines:])


def wait_ready(proc, work, ready, what):
    deadline = time.monotonic() + READY_TIMEOUT_S
    while time.monotonic() < deadline:
        if proc.poll() is not None:
            raise LabError(f"{what} exited with {proc.returncode}:\n{output_tail(work)}")
        if ready():
            return
        time.sleep(0.05)
    raise LabError(f"{what} did not answer within {READY_TIMEOUT_S:.0f} s:\n{output_tail(work)}")


def stop_pid(pid):
    """Stops one process started here; True when it was ours (or already gone)."""
    path = state_dir() / f"proc-{pid}.json"
    try:
        entry = json.loads(path.read_text())
    except (OSError, ValueError):
        return proc_starttime(pid) is None
    if entry.get("start") is not None and proc_starttime(pid) == entry["start"]:
        # Each agent leads its own session: the group holds it and its helpers.
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(pid, sig)
            except ProcessLookupError:
                break
            deadline = time.monotonic() + STOP_TIMEOUT_S
            while proc_starttime(pid) is not None and time.monotonic() < deadline:
                time.sleep(0.02)
            if proc_starttime(pid) is None:
                break
    shutil.rmtree(entry.get("workdir", ""), ignore_errors=True)
    path.unlink(missing_ok=True)
    return True


def reap_orphans(everything=False):
    for path, entry in entries("proc"):
        if everything or not owner_alive(entry) or proc_starttime(entry["pid"]) is None:
            stop_pid(entry["pid"])
    for path, entry in entries("lan"):
        if everything or not owner_alive(entry):
            lan_remove(entry)


def launch(kind, argv, work, args, fds, checks, env=None):
    """Starts a detached agent, waits until every check passes, prints its pid."""
    proc = spawn(kind, argv, work, args.owner, args.netns, env, pass_fds=fds)
    for fd in fds:
        os.close(fd)
    try:
        for what, check in checks:
            wait_ready(proc, work, check, what)
    except LabError:
        stop_pid(proc.pid)
        raise
    print(proc.pid)


def run_quiet(argv, timeout, netns=None, env=None):
    if netns:
        argv = ["ip", "netns", "exec", netns] + argv
    full_env = dict(os.environ)
    full_env.update(QUIET_ENV)
    full_env.update(env or {})
    try:
        return subprocess.run(argv, stdin=subprocess.DEVNULL, capture_output=True,
                              text=True, timeout=timeout, env=full_env)
    except subprocess.TimeoutExpired:
        return None


# ---------------------------------------------------------------- endpoints

def split_endpoint(text, default_port=161):
    """"127.0.0.21:161" or "[::1]:161" (port optional) -> (host, port, v6)."""
    m = re.fullmatch(r"\[([^\]]+)\](?::(\d+))?", text)
    if m:
        host, port, v6 = m.group(1), m.group(2), True
    else:
        host, _, port = text.partition(":")
        v6 = False
    ipaddress.ip_address(host)
    return host, int(port) if port else default_port, v6


def probe_host(host, v6):
    """The address a poller uses for an agent bound to host."""
    if host in ("0.0.0.0", "::"):
        return "::1" if v6 else "127.0.0.1"
    return host


def snmpget_answers(host, port, v6, community, netns, persist):
    target = f"udp6:[{probe_host(host, v6)}]:{port}" if v6 else f"udp:{probe_host(host, v6)}:{port}"
    res = run_quiet(["snmpget", "-v1", "-c", community, "-t", "0.3", "-r", "0", target,
                     "1.3.6.1.2.1.1.2.0"], 3, netns, {"SNMP_PERSISTENT_DIR": persist,
                                                       "HOME": persist})
    # 0: value, 2: an error-status; both mean the agent answered.
    return res is not None and res.returncode in (0, 2)


def agent_checks(what, endpoints, community, netns, work):
    return [(f"{what} on {host}:{port}",
             lambda host=host, port=port, v6=v6: snmpget_answers(host, port, v6, community,
                                                                 netns, str(work)))
            for host, port, v6 in endpoints]


def lock_keys(endpoints, netns):
    if netns:
        return []
    return [f"udp{'6' if v6 else '4'}-{host}-{port}" for host, port, v6 in endpoints]


def free_address(port):
    """A 127.x.y.z address whose UDP port is free now."""
    for _ in range(200):
        addr = f"127.{random.randint(64, 250)}.{random.randint(0, 255)}.{random.randint(2, 250)}"
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            try:
                s.bind((addr, port))
                return addr
            except OSError:
                continue
    raise LabError("no free loopback address found")


# ---------------------------------------------------------------- snmpsimd

def split_v3user(user):
    parts = user.split(":")
    if len(parts) != 5:
        raise LabError(f"--v3user wants NAME:AUTH:AUTHPASS:PRIV:PRIVPASS, got {user}")
    return parts


def snmpsim_start(args):
    data = Path(args.data_dir)
    # The file name is the community: --serve picks files and may rename
    # them, so that a printer answers "public" as discovery asks.
    served = {}
    for item in args.serve or [p.stem for p in sorted(data.glob("*.snmprec"))]:
        name, _, community = item.partition(":")
        if not (data / f"{name}.snmprec").is_file():
            raise LabError(f"no {name}.snmprec in {data}")
        served[community or name] = data / f"{name}.snmprec"
    if not served:
        raise LabError(f"no .snmprec file in {data}")
    community = args.community or next(iter(served))
    endpoints = [split_endpoint(e) for e in args.endpoint]
    fds = [lock_endpoint(k, LOCK_TIMEOUT_S) for k in lock_keys(endpoints, args.netns)]
    work = new_workdir("snmpsim")
    # A private copy: readable by nobody, and immune to the tests editing files.
    (work / "data").mkdir(mode=0o755)
    for name, src in served.items():
        shutil.copyfile(src, work / "data" / f"{name}.snmprec")
        (work / "data" / f"{name}.snmprec").chmod(0o644)
    cache = work / "cache"
    cache.mkdir()
    shutil.chown(cache, "nobody", "nogroup")
    argv = ["snmpsimd", f"--data-dir={work / 'data'}", f"--cache-dir={cache}",
            "--logging-method=null", "--process-user=nobody", "--process-group=nogroup"]
    for host, port, v6 in endpoints:
        argv.append(f"--agent-udpv6-endpoint=[{host}]:{port}" if v6
                    else f"--agent-udpv4-endpoint={host}:{port}")
    # The SNMPv3 context name then selects the file, as the community does.
    for user in args.v3user:
        name, auth, apass, priv, ppass = split_v3user(user)
        argv.append(f"--v3-user={name}")
        if auth != "NONE":
            argv += [f"--v3-auth-key={apass}", f"--v3-auth-proto={auth}"]
        if priv != "NONE":
            argv += [f"--v3-priv-key={ppass}", f"--v3-priv-proto={priv}"]
    launch("snmpsim", argv, work, args, fds, agent_checks("snmpsimd", endpoints, community,
                                                          args.netns, work))


# ---------------------------------------------------------------- snmpd

# The modules snmpd needs to answer communities and users from its
# configuration, and "override", which serves fixed objects.
SNMPD_DATA_MODULES = "override,vacm_conf,vacm_vars,vacm_context,usmConf,usmUser"
OVERRIDE_TYPES = {"2": "integer", "4": "octet_str", "4x": "octet_str", "6": "object_id",
                  "64": "octet_str", "65": "counter", "66": "unsigned", "67": "timeticks",
                  "70": "counter64"}


def snmprec_overrides(path):
    """A .snmprec file as snmpd "override" lines: the same printer served
    about twenty times faster than snmpsimd does. IpAddress values become
    their text, as override knows no such type."""
    lines = []
    for line in path.read_text().splitlines():
        oid, kind, value = line.split("|", 2)
        kind = kind.split(":")[0]
        if value.startswith("value="):
            value = value[len("value="):]
        if kind == "4x":
            value = "0x" + value if value else '""'
        elif kind in ("4", "64"):
            value = '"' + value.replace('"', '\\"') + '"'
        if kind not in OVERRIDE_TYPES:
            raise LabError(f"{path}: type {kind} has no override form")
        lines.append(f"override .{oid} {OVERRIDE_TYPES[kind]} {value}")
    return "\n".join(lines) + "\n"


def snmpd_start(args):
    addrs = [split_endpoint(a, args.port) for a in args.address]
    fds = [lock_endpoint(k, LOCK_TIMEOUT_S) for k in lock_keys(addrs, args.netns)]
    work = new_workdir("snmpd")
    conf = [f"agentaddress {','.join(f'udp6:[{h}]:{p}' if v6 else f'udp:{h}:{p}' for h, p, v6 in addrs)}",
            "dontLogTCPWrappersConnects yes"]
    v4 = [h for h, _, v6 in addrs if not v6]
    # Without it snmpd opens 0.0.0.0:199/tcp.
    conf.append(f"smuxsocket {v4[0] if v4 and v4[0] != '0.0.0.0' else '127.0.0.1'}")
    for c, kw in ((args.community, "rocommunity"), (args.rwcommunity, "rwcommunity")):
        if c:
            conf.append(f"{kw} {c} {'default' if args.netns else '127.0.0.0/8'}")
            conf.append(f"{kw}6 {c} {'default' if args.netns else '::1/128'}")
    if args.sysobjectid:
        conf.append(f"sysobjectid {args.sysobjectid}")
    for user in args.v3user:
        name, auth, apass, priv, ppass = split_v3user(user)
        conf.append(f"createUser {name} {auth} {apass} {priv} {ppass}")
        conf.append(f"rouser {name} priv")
    conf.extend(args.conf_line)
    argv = ["snmpd", "-f", "-Lo", "-C", "-c", str(work / "snmpd.conf")]
    if args.data_file:
        (work / "printer.conf").write_text(snmprec_overrides(Path(args.data_file)))
        conf.append(f"includeFile {work / 'printer.conf'}")
        # Only the file's objects: none of the host's own tables mix in.
        argv += ["-I", SNMPD_DATA_MODULES]
    (work / "snmpd.conf").write_text("\n".join(conf) + "\n")
    persist = work / "persist"
    persist.mkdir()
    env = dict(QUIET_ENV, SNMPCONFPATH=str(work), SNMP_PERSISTENT_DIR=str(persist), HOME=str(work))
    probe = args.community or args.rwcommunity
    launch("snmpd", argv, work, args, fds,
           agent_checks("snmpd", addrs, probe, args.netns, work) if probe else [], env)


# ---------------------------------------------------------------- BER

def ber_len(n):
    if n < 0x80:
        return bytes([n])
    body = n.to_bytes((n.bit_length() + 7) // 8, "big")
    return bytes([0x80 | len(body)]) + body


def tlv(tag, body):
    return bytes([tag]) + ber_len(len(body)) + body


def ber_int(v):
    return tlv(0x02, v.to_bytes(max(1, (v.bit_length() + 8) // 8), "big", signed=True))


def read_tlv(buf, pos):
    """(tag, body start, end) of the element at pos; ValueError when cut."""
    if pos + 2 > len(buf):
        raise ValueError("short element")
    tag, first = buf[pos], buf[pos + 1]
    pos += 2
    if first & 0x80:
        n = first & 0x7F
        if n == 0 or n > 4 or pos + n > len(buf):
            raise ValueError("bad length")
        length = int.from_bytes(buf[pos:pos + n], "big")
        pos += n
    else:
        length = first
    if pos + length > len(buf):
        raise ValueError("element runs past the datagram")
    return tag, pos, pos + length


def oid_text(body):
    arcs, value = [], 0
    for b in body:
        value = (value << 7) | (b & 0x7F)
        if not b & 0x80:
            arcs.append(value)
            value = 0
    if not arcs:
        return ""
    first = arcs[0]
    head = [min(first // 40, 2), first - 40 * min(first // 40, 2)]
    return ".".join(str(a) for a in head + arcs[1:])


def oid_body(text):
    arcs = [int(a) for a in text.split(".")]
    body = b""
    for arc in [arcs[0] * 40 + arcs[1]] + arcs[2:]:
        chunk = [arc & 0x7F]
        while arc > 0x7F:
            arc >>= 7
            chunk.append(0x80 | (arc & 0x7F))
        body += bytes(reversed(chunk))
    return body


FIRST_ROW = 1001


def walk_next(oid, rows):
    """The OID a GETNEXT of `oid` finds in the walk mode's table."""
    arcs = oid_text(oid).split(".")
    last = int(arcs[-1])
    if last < FIRST_ROW:
        return oid_body(".".join(arcs + [str(FIRST_ROW)]))
    if rows is not None and last + 1 >= FIRST_ROW + rows:
        return oid_body(".".join(arcs[:-2] + [str(int(arcs[-2]) + 1), str(FIRST_ROW)]))
    return oid_body(".".join(arcs[:-1] + [str(last + 1)]))


def parse_request(buf):
    """Version, community, PDU tag, request id, bindings [(oid body, value tlv)]."""
    tag, s, e = read_tlv(buf, 0)
    if tag != 0x30:
        raise ValueError("no message sequence")
    t, vs, ve = read_tlv(buf, s)
    version = int.from_bytes(buf[vs:ve], "big", signed=True)
    t, cs, ce = read_tlv(buf, ve)
    community = buf[cs:ce]
    pdu_tag, ps, pe = read_tlv(buf, ce)
    t, rs, re_ = read_tlv(buf, ps)
    reqid = int.from_bytes(buf[rs:re_], "big", signed=True)
    t, _, x = read_tlv(buf, re_)
    t, _, x = read_tlv(buf, x)
    t, ls, le = read_tlv(buf, x)
    binds, pos = [], ls
    while pos < le:
        t, bs, be = read_tlv(buf, pos)
        t, os_, oe = read_tlv(buf, bs)
        t, vs2, ve2 = read_tlv(buf, oe)
        binds.append((bytes(buf[os_:oe]), bytes(buf[oe:ve2])))
        pos = be
    return version, bytes(community), pdu_tag, reqid, binds


def encode_response(version, community, reqid, status, index, binds):
    body = b""
    for oid, value in binds:
        if value[:1] == b"\x05":
            value = tlv(0x04, oid_text(oid).encode())
        body += tlv(0x30, tlv(0x06, oid) + value)
    pdu = tlv(0xA2, ber_int(reqid) + ber_int(status) + ber_int(index) + tlv(0x30, body))
    return tlv(0x30, ber_int(version) + tlv(0x04, community) + pdu)


# ---------------------------------------------------------------- scripted peer

def parse_modes(texts):
    modes = {"silent": False, "silent_first": 0, "silent_after": None, "stale": None,
             "toobig_above": None, "error_at": None, "garbage": False, "walk": None,
             "integer": None, "sysobjectid": None}
    for text in texts or ["echo"]:
        name, _, rest = text.partition(":")
        if name == "echo":
            pass
        elif name == "silent":
            modes["silent"] = True
        elif name == "silent-first":
            modes["silent_first"] = int(rest)
        elif name == "silent-after":
            modes["silent_after"] = int(rest)
        elif name == "late-stale":
            parts = rest.split(":") if rest else []
            stale = int(parts[0]) if parts and parts[0] else 100
            answer = int(parts[1]) if len(parts) > 1 and parts[1] not in ("", "-") else None
            modes["stale"] = (stale, answer)
        elif name == "toobig-above":
            modes["toobig_above"] = int(rest)
        elif name == "error-at":
            oid, _, status = rest.partition(":")
            modes["error_at"] = (oid, int(status) if status else 2)
        elif name == "garbage-first":
            modes["garbage"] = True
        elif name == "walk":
            modes["walk"] = (None if rest == "-" else int(rest),)
        elif name == "integer":
            modes["integer"] = int(rest)
        elif name == "sysobjectid":
            modes["sysobjectid"] = rest
        else:
            raise LabError(f"unknown peer mode {text}")
    return modes


def peer_replies(modes, datagram, count):
    """[(delay in ms, bytes)] to send back for one received datagram."""
    if modes["silent"] or count <= modes["silent_first"]:
        return []
    if modes["silent_after"] is not None and count > modes["silent_after"]:
        return []
    try:
        version, community, pdu_tag, reqid, binds = parse_request(datagram)
    except ValueError:
        return []
    if pdu_tag not in (0xA0, 0xA1, 0xA3, 0xA5):
        return []
    status, index = 0, 0
    if modes["toobig_above"] is not None and len(binds) > modes["toobig_above"]:
        status = 1
    elif modes["error_at"] is not None:
        for i, (oid, _) in enumerate(binds, 1):
            if oid_text(oid) == modes["error_at"][0]:
                status, index = modes["error_at"][1], i
                break
    if modes["walk"] is not None and pdu_tag == 0xA1 and status == 0:
        binds = [(walk_next(oid, modes["walk"][0]), value) for oid, value in binds]
    if modes["integer"] is not None and pdu_tag == 0xA1 and status == 0:
        binds = [(oid, ber_int(modes["integer"])) for oid, _ in binds]
    if modes["sysobjectid"] is not None and pdu_tag == 0xA0:
        binds = [(oid, tlv(0x06, oid_body(modes["sysobjectid"]))
                  if oid_text(oid) == "1.3.6.1.2.1.1.2.0" else value) for oid, value in binds]
    out = []
    if modes["garbage"]:
        out.append((0, b"\x30\x03\x02\x01"))
    answer = encode_response(version, community, reqid, status, index, binds)
    if modes["stale"] is not None:
        stale_ms, answer_ms = modes["stale"]
        older = reqid - 1 if reqid > 0 else 0x7FFFFFFF
        out.append((stale_ms, encode_response(version, community, older, status, index, binds)))
        if answer_ms is not None:
            out.append((answer_ms, answer))
    else:
        out.append((0, answer))
    return out


def peer_serve(args):
    host, port, v6 = split_endpoint(args.bind, 16100)
    modes = parse_modes(args.mode)
    sock = socket.socket(socket.AF_INET6 if v6 else socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind((host, port))
    log = open(args.log, "a", buffering=1)
    Path(args.ready).write_text("ready\n")
    pending, count = [], 0
    while True:
        now = time.monotonic()
        due = [p for p in pending if p[0] <= now]
        pending = [p for p in pending if p[0] > now]
        for _, addr, data in sorted(due, key=lambda p: p[0]):
            sock.sendto(data, addr)
        wait = min((p[0] for p in pending), default=now + 1.0) - now
        readable, _, _ = select.select([sock], [], [], max(0.0, min(wait, 1.0)))
        if not readable:
            continue
        data, addr = sock.recvfrom(65535)
        count += 1
        log.write(f"{count} {addr[0]}:{addr[1]} {data.hex()}\n")
        base = time.monotonic()
        for delay, reply in peer_replies(modes, data, count):
            pending.append((base + delay / 1000.0, addr, reply))


def peer_start(args):
    host, port, v6 = split_endpoint(args.bind, 16100)
    parse_modes(args.mode)
    fds = [lock_endpoint(k, LOCK_TIMEOUT_S) for k in lock_keys([(host, port, v6)], args.netns)]
    work = new_workdir("peer")
    ready = work / "ready"
    log = Path(args.log).resolve() if args.log else work / "datagrams.log"
    log.touch()
    argv = [sys.executable, str(Path(__file__).resolve()), "peer", "serve", "--bind", args.bind,
            "--log", str(log), "--ready", str(ready)]
    for m in args.mode or []:
        argv += ["--mode", m]
    launch("peer", argv, work, args, fds, [(f"scripted peer on {args.bind}", ready.exists)])


# ---------------------------------------------------------------- virtual LAN

def ip(*argv, netns=None, check=True):
    cmd = ["ip"] + (["-n", netns] if netns else []) + list(argv)
    res = subprocess.run(cmd, capture_output=True, text=True, timeout=15)
    if check and res.returncode != 0:
        raise LabError(f"{' '.join(cmd)}: {res.stderr.strip()}")
    return res


def sysctl(netns, *settings):
    subprocess.run(["ip", "netns", "exec", netns, "sysctl", "-q", "-w"] + list(settings),
                   capture_output=True, timeout=15, check=True)


def ipv6_of(ipv4):
    """198.18.0.11 -> fd00::198:18:0:11: the same digits, readable in both."""
    return "fd00::" + ":".join(ipv4.split("."))


def lan_namespaces(name, hosts):
    return [f"{name}-br"] + [f"{name}-{h}" for h in hosts]


def existing_namespaces():
    res = ip("netns", "list", check=False)
    return {line.split()[0] for line in res.stdout.splitlines() if line.strip()}


def lan_remove(entry):
    spaces = set(entry["namespaces"])
    for path, proc in entries("proc"):
        if proc.get("netns") in spaces:
            stop_pid(proc["pid"])
    present = existing_namespaces()
    for ns in entry["namespaces"]:
        if ns not in present:
            continue
        # Whatever still runs inside belongs to this run's tests.
        res = ip("netns", "pids", ns, check=False)
        for pid in res.stdout.split():
            try:
                os.kill(int(pid), signal.SIGKILL)
            except (ProcessLookupError, ValueError):
                pass
        ip("netns", "del", ns, check=False)
    (state_dir() / f"lan-{entry['name']}.json").unlink(missing_ok=True)


def wait_links(namespaces, ipv6):
    deadline = time.monotonic() + 10.0
    for ns in namespaces:
        while True:
            state = ip("-o", "link", "show", "dev", "e0", netns=ns).stdout
            tentative = ip("-o", "-6", "addr", "show", "dev", "e0", "tentative",
                           netns=ns).stdout.strip() if ipv6 else ""
            if "state UP" in state and not tentative:
                break
            if time.monotonic() >= deadline:
                raise LabError(f"e0 in {ns} did not come up")
            time.sleep(0.05)


def lan_up(args):
    if not NAME_RE.match(args.name):
        raise LabError("a LAN name is 1 to 40 letters, digits, '_' or '.'")
    hosts = {}
    for item in args.hosts.split(","):
        host, _, addr = item.partition("=")
        if not NAME_RE.match(host) or host == "br":
            raise LabError(f"bad host name {host!r}")
        ipaddress.IPv4Address(addr)
        hosts[host] = addr
    entry = {"name": args.name, "namespaces": lan_namespaces(args.name, hosts),
             "owner": args.owner, "owner_start": proc_starttime(args.owner)}
    if set(entry["namespaces"]) & existing_namespaces():
        raise LabError(f"namespaces of LAN {args.name} exist already")
    (state_dir() / f"lan-{args.name}.json").write_text(json.dumps(entry))
    bridge = f"{args.name}-br"
    try:
        ip("netns", "add", bridge)
        ip("link", "add", "br0", "type", "bridge", "mcast_snooping", "0", netns=bridge)
        ip("link", "set", "br0", "up", netns=bridge)
        for n, (host, addr) in enumerate(hosts.items()):
            ns = f"{args.name}-{host}"
            ip("netns", "add", ns)
            # Both veth ends are made inside the LAN's namespaces, so nothing
            # of this run ever appears in the machine's own namespace.
            ip("link", "add", f"v{n}", "type", "veth", "peer", "name", "e0", "netns", ns,
               netns=bridge)
            ip("link", "set", f"v{n}", "master", "br0", netns=bridge)
            ip("link", "set", f"v{n}", "up", netns=bridge)
            # No duplicate address detection, so addresses work at once; and
            # "[::]" sockets stay IPv6-only, so an agent bound to 0.0.0.0 and
            # [::] answers a broadcast once, not once per socket.
            sysctl(ns, "net.ipv6.conf.all.accept_dad=0", "net.ipv6.conf.default.accept_dad=0",
                   "net.ipv6.conf.e0.accept_dad=0", "net.ipv6.bindv6only=1")
            ip("link", "set", "lo", "up", netns=ns)
            ip("addr", "add", f"{addr}/24", "dev", "e0", netns=ns)
            ip("addr", "add", f"{ipv6_of(addr)}/64", "dev", "e0", "nodad", netns=ns)
            ip("link", "set", "e0", "up", netns=ns)
            ip("route", "add", "default", "dev", "e0", netns=ns)
        wait_links([f"{args.name}-{h}" for h in hosts], True)
    except (LabError, subprocess.SubprocessError):
        lan_remove(entry)
        raise
    for host, addr in hosts.items():
        print(f"{host} {args.name}-{host} {addr} {ipv6_of(addr)}")


def lan_down(args):
    path = state_dir() / f"lan-{args.name}.json"
    try:
        entry = json.loads(path.read_text())
    except (OSError, ValueError):
        raise LabError(f"no LAN named {args.name} was started here")
    lan_remove(entry)
    left = set(entry["namespaces"]) & existing_namespaces()
    if left:
        raise LabError(f"namespaces left behind: {' '.join(sorted(left))}")


def lan_exec(args):
    cmd = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not cmd:
        raise LabError("lan exec needs a command")
    os.execvp("ip", ["ip", "netns", "exec", f"{args.name}-{args.host}"] + cmd)


# ---------------------------------------------------------------- main

def build_parser():
    p = argparse.ArgumentParser(description="orv test laboratory")
    p.add_argument("--owner", type=int, default=os.getppid(),
                   help="process whose end makes what is started here an orphan")
    sub = p.add_subparsers(dest="cmd", required=True)

    sim = sub.add_parser("snmpsim").add_subparsers(dest="action", required=True)
    s = sim.add_parser("start")
    s.add_argument("--data-dir", required=True)
    s.add_argument("--endpoint", action="append", required=True)
    s.add_argument("--netns")
    s.add_argument("--serve", action="append",
                   help="FILE[:COMMUNITY]: serve FILE.snmprec (as COMMUNITY); default all")
    s.add_argument("--community", help="community polled until the agent answers")
    s.add_argument("--v3user", action="append", default=[])
    s.set_defaults(func=snmpsim_start)

    d = sub.add_parser("snmpd").add_subparsers(dest="action", required=True)
    s = d.add_parser("start")
    s.add_argument("--address", action="append", required=True)
    s.add_argument("--port", type=int, default=161)
    s.add_argument("--community", default="public")
    s.add_argument("--rwcommunity")
    s.add_argument("--sysobjectid")
    s.add_argument("--v3user", action="append", default=[])
    s.add_argument("--conf-line", action="append", default=[])
    s.add_argument("--data-file", help="serve this .snmprec file's objects instead of snmpd's own")
    s.add_argument("--netns")
    s.set_defaults(func=snmpd_start)

    peer = sub.add_parser("peer").add_subparsers(dest="action", required=True)
    for action, func in (("start", peer_start), ("serve", peer_serve)):
        s = peer.add_parser(action)
        s.add_argument("--bind", required=True)
        s.add_argument("--mode", action="append")
        s.add_argument("--log", required=(action == "serve"))
        s.add_argument("--netns")
        if action == "serve":
            s.add_argument("--ready", required=True)
        s.set_defaults(func=func)

    s = sub.add_parser("stop")
    s.add_argument("pids", type=int, nargs="+")
    s.set_defaults(func=lambda a: [stop_pid(pid) or fail(f"{pid} was not started here")
                                   for pid in a.pids])

    lan = sub.add_parser("lan").add_subparsers(dest="action", required=True)
    s = lan.add_parser("up")
    s.add_argument("--name", required=True)
    s.add_argument("--hosts", required=True)
    s.add_argument("--ipv6", action="store_true", help="IPv6 is always configured")
    s.set_defaults(func=lan_up)
    s = lan.add_parser("down")
    s.add_argument("--name", required=True)
    s.set_defaults(func=lan_down)
    s = lan.add_parser("exec")
    s.add_argument("--name", required=True)
    s.add_argument("--host", required=True)
    s.add_argument("command", nargs=argparse.REMAINDER)
    s.set_defaults(func=lan_exec)

    s = sub.add_parser("free-address")
    s.add_argument("--port", type=int, default=161)
    s.set_defaults(func=lambda a: print(free_address(a.port)))

    s = sub.add_parser("cleanup")
    s.add_argument("--all", action="store_true",
                   help="also what live owners started (every run of this machine)")
    s.set_defaults(func=lambda a: reap_orphans(a.all))
    return p


def fail(message):
    raise LabError(message)


def main(argv=None):
    args = build_parser().parse_args(argv)
    try:
        if args.cmd in ("snmpsim", "snmpd", "lan") and args.action in ("start", "up") \
                or (args.cmd == "peer" and args.action == "start"):
            reap_orphans()
        args.func(args)
    except LabError as e:
        print(f"orvlab: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
