#!/usr/bin/env python3
"""Registry exports (regedit /e) as sets of entries, for the installer test.

  regdiff.py changes BEFORE.reg AFTER.reg   entries AFTER adds or changes ("+ ...") and removes ("- ...")
  regdiff.py same A_BEFORE.reg A.reg B_BEFORE.reg B.reg [--wine-user]
      the entries A adds to A_BEFORE and B adds to B_BEFORE are the same (keys that existed before are
      left out: changes to other components' keys are not compared); prints the differences, exit 1 if
      any. --wine-user: B's type library, interface and class entries below
      HKEY_LOCAL_MACHINE\\Software\\Classes count as below HKEY_CURRENT_USER\\Software\\Classes: Wine's
      RegisterTypeLibForUser writes machine-wide, and its HKEY_CLASSES_ROOT does not show the user's
      classes, so the category manager writes below a machine-wide class key; on Windows both land
      below the user's classes, where the package writes them.

An entry is one line: the key ("KEY") or one value ("KEY\tNAME\tTYPE:DATA"), keys and names in lower
case (the registry ignores their case). The installer service's own records of installed products
and Wine's bookkeeping of the session are left out: they are not entries of the package.
"""
import re
import signal
import sys

IGNORED = [re.compile(p, re.I) for p in (
    # The installer service's records of products, components, features and cached packages.
    r"^hkey_local_machine\\software\\classes\\installer(\\|$)",
    r"^hkey_local_machine\\software\\microsoft\\windows\\currentversion\\installer(\\|$)",
    r"^hkey_local_machine\\software\\microsoft\\windows\\currentversion\\uninstall\\\{",
    r"^hkey_current_user\\software\\microsoft\\installer(\\|$)",
    r"^hkey_local_machine\\software\\wow6432node\\microsoft\\windows\\currentversion\\uninstall\\\{",
    # Wine's session state: device and display entries, time stamps, the desktop, caches.
    r"^hkey_local_machine\\system\\",
    r"^hkey_local_machine\\hardware\\",
    r"^hkey_current_user\\software\\wine\\(?!appdefaults)",
    r"^hkey_local_machine\\software\\wine\\",
    r"^hkey_current_user\\volatile environment",
    r"^hkey_local_machine\\software\\microsoft\\windows nt\\currentversion\\fonts",
    r"^hkey_local_machine\\software\\microsoft\\cryptography\\rng",
    r"^hkey_current_user\\software\\microsoft\\windows\\currentversion\\explorer\\",
)]


def read_export(path):
    raw = open(path, "rb").read()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("utf-8", "replace")
    lines = text.replace("\r", "").split("\n")
    entries = set()
    key = None
    pending = ""
    for line in lines:
        if pending:
            line = pending + line.strip()
            pending = ""
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1]
            continue
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1].lower()
            entries.add(key)
            continue
        if key is None or not line or line.startswith(";") or line.startswith("#"):
            continue
        if line.startswith("@="):
            name, data = "@", line[2:]
        elif line.startswith('"'):
            i, name = 1, ""
            while i < len(line) and line[i] != '"':
                if line[i] == "\\" and i + 1 < len(line):
                    i += 1
                name += line[i]
                i += 1
            data = line[i + 2:]
            name = name.lower()
        else:
            continue
        if not data.startswith(("hex", "dword:", '"')):
            continue
        entries.add(key + "\t" + name + "\t" + data)
    return {e for e in entries if not any(p.search(e.split("\t")[0]) for p in IGNORED)}


# Not registration: the library's settings key, which loading the module creates (regsvr32 loads it),
# and the per-user class containers, which a per-user registration under Wine finds already there.
NOT_REGISTRATION = re.compile(
    r"^hkey_current_user\\software\\(microsoft\\internet explorer\\lowregistry|belvanquist)(\\|\t|$)"
    r"|^hkey_current_user\\software\\classes\\(typelib|interface|clsid)$")


def added(before, after):
    keys = {e for e in before if "\t" not in e}
    return {e for e in after - before if e.split("\t")[0] not in keys}


def registration(entries):
    return {e for e in entries if not NOT_REGISTRATION.search(e)}


def normalize(entry, wine_user):
    key, _, rest = entry.partition("\t")
    if wine_user:
        key = re.sub(r"^hkey_local_machine\\software\\classes\\(typelib|interface|clsid)\\",
                     r"hkey_current_user\\software\\classes\\\1\\", key)
    # Wine's LoadTypeLib adds LIBFLAG_FHASDISKIMAGE (8) to the flags of every library loaded from a file,
    # and its RegisterTypeLib writes them; the library's own flags are what the package writes.
    m = re.match(r'^@\t"(\d+)"$', rest)
    if key.endswith("\\flags") and m:
        rest = '@\t"%d"' % (int(m.group(1)) & ~8)
    # A folder path written by the installer ends in a backslash; the registration's does not.
    if key.endswith("\\helpdir") and rest.endswith('\\\\"'):
        rest = rest[:-3] + '"'
    return key + ("\t" + rest if rest else "")


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    if len(sys.argv) >= 6 and sys.argv[1] == "same":
        wine_user = "--wine-user" in sys.argv
        a0, a, b0, b = (read_export(p) for p in sys.argv[2:6])
        a = registration(normalize(e, False) for e in added(a0, a))
        b = registration(normalize(e, wine_user) for e in added(b0, b))
        for entry in sorted(a - b):
            print("only in the first: " + entry)
        for entry in sorted(b - a):
            print("only in the second: " + entry)
        print("%d entries compared" % len(a | b))
        return 0 if a == b and a else 1
    if len(sys.argv) == 4 and sys.argv[1] == "changes":
        before, after = read_export(sys.argv[2]), read_export(sys.argv[3])
        for entry in sorted(after - before):
            print("+ " + entry)
        for entry in sorted(before - after):
            print("- " + entry)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
