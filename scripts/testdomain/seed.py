#!/usr/bin/python3
"""Loads the seed data into a provisioned, not yet running, test domain.

Usage: seed.py SMB_CONF SEED_FILE PASSWORD USERS_OUT

Works on the domain's database directly (no server needed) through samba's
own bindings. Also prepares the domain for tests: the controller's ldap/ and
GC/ service names, and a password policy that lets tests pick any password
and never expires one. Writes the account names of the seeded users, one a
line, to USERS_OUT. See README.md in this folder for the file format.
"""
import sys

import ldb
from samba.auth import system_session
from samba.param import LoadParm
from samba.samdb import SamDB

UF_NORMAL_ACCOUNT = 0x200
UF_WORKSTATION_TRUST_ACCOUNT = 0x1000
UF_DONT_EXPIRE_PASSWD = 0x10000
GLOBAL_SECURITY_GROUP = -2147483646
NEVER = "-9223372036854775808"


class SeedError(Exception):
    pass


def absolute(rdn, base):
    """A DN written below the domain gets the domain's DN appended."""
    if rdn.upper().endswith(base.upper()):
        return rdn
    return rdn + "," + base


def cn_of(db, dn):
    return str(ldb.Dn(db, dn).get_rdn_value())


def prepare_domain(db, base, dns_name, netbios):
    host = "dc1." + dns_name
    dc = db.search(base=base, expression="(sAMAccountName=DC1$)", attrs=["servicePrincipalName"])
    if len(dc) != 1:
        raise SeedError("controller account DC1$ not found")
    have = {str(v).lower() for v in dc[0].get("servicePrincipalName", [])}
    wanted = [
        "ldap/" + host,
        "ldap/DC1",
        "ldap/%s/%s" % (host, dns_name),
        "ldap/%s/%s" % (host, netbios),
        "ldap/DC1/%s" % netbios,
        "GC/%s/%s" % (host, dns_name),
    ]
    add = [s for s in wanted if s.lower() not in have]
    if add:
        m = ldb.Message(dc[0].dn)
        m["servicePrincipalName"] = ldb.MessageElement(add, ldb.FLAG_MOD_ADD, "servicePrincipalName")
        db.modify(m)

    m = ldb.Message(ldb.Dn(db, base))
    for attr, value in (("pwdProperties", "0"), ("minPwdLength", "0"), ("pwdHistoryLength", "0"),
                        ("minPwdAge", "0"), ("maxPwdAge", NEVER), ("lockoutThreshold", "0")):
        m[attr] = ldb.MessageElement(value, ldb.FLAG_MOD_REPLACE, attr)
    db.modify(m)


def parse_attrs(text):
    attrs = {}
    for pair in filter(None, (p.strip() for p in text.split(";"))):
        if "=" not in pair:
            raise SeedError("attribute without '=': %r" % pair)
        name, value = pair.split("=", 1)
        attrs.setdefault(name.strip(), []).append(value.strip())
    return attrs


def add_entry(db, dn, attrs):
    msg = {"dn": dn}
    msg.update(attrs)
    db.add(msg)


def load(db, base, dns_name, path, password):
    users = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            fields = [x.strip() for x in line.split("|")]
            kind, args = fields[0], fields[1:]
            try:
                users += apply(db, base, dns_name, kind, args, password)
            except (SeedError, ldb.LdbError, IndexError) as e:
                raise SeedError("%s:%d: %s: %s" % (path, number, line, e))
    return users


def apply(db, base, dns_name, kind, args, password):
    dn = absolute(args[0], base)
    # Optional "attr=value; ..." field: the third of a user, the second of others.
    at = 2 if kind == "user" else 1
    extra = parse_attrs(args[at]) if kind in ("user", "computer", "group") and len(args) > at else {}
    if kind == "ou":
        add_entry(db, dn, {"objectClass": "organizationalUnit"})
    elif kind == "container":
        add_entry(db, dn, {"objectClass": "container"})
    elif kind == "user":
        sam = args[1]
        add_entry(db, dn, dict(extra, objectClass="user", sAMAccountName=sam,
                               userPrincipalName="%s@%s" % (sam, dns_name)))
        db.setpassword("(distinguishedName=%s)" % ldb.binary_encode(dn), password)
        m = ldb.Message(ldb.Dn(db, dn))
        m["userAccountControl"] = ldb.MessageElement(
            str(UF_NORMAL_ACCOUNT | UF_DONT_EXPIRE_PASSWD), ldb.FLAG_MOD_REPLACE, "userAccountControl")
        db.modify(m)
        return [sam]
    elif kind == "computer":
        name = cn_of(db, dn)
        sam = name.upper() + "$"
        add_entry(db, dn, dict(extra, objectClass="computer", sAMAccountName=sam,
                               dNSHostName="%s.%s" % (name.lower(), dns_name),
                               userAccountControl=str(UF_WORKSTATION_TRUST_ACCOUNT)))
    elif kind == "group":
        sam = cn_of(db, dn)
        add_entry(db, dn, dict(extra, objectClass="group", sAMAccountName=sam,
                               groupType=str(GLOBAL_SECURITY_GROUP)))
    elif kind == "member":
        member = absolute(args[1], base)
        m = ldb.Message(ldb.Dn(db, dn))
        m["member"] = ldb.MessageElement(member, ldb.FLAG_MOD_ADD, "member")
        db.modify(m)
    else:
        raise SeedError("unknown kind %r" % kind)
    return []


def main(argv):
    if len(argv) != 5:
        print(__doc__, file=sys.stderr)
        return 64
    conf, seed, password, users_out = argv[1:]
    lp = LoadParm()
    lp.load(conf)
    db = SamDB(url=lp.private_path("sam.ldb"), session_info=system_session(), lp=lp)
    base = db.domain_dn()
    dns_name = db.domain_dns_name()
    db.transaction_start()
    try:
        prepare_domain(db, base, dns_name, lp.get("workgroup"))
        users = load(db, base, dns_name, seed, password)
    except Exception:
        db.transaction_cancel()
        raise
    db.transaction_commit()
    with open(users_out, "w", encoding="utf-8") as f:
        f.writelines(u + "\n" for u in users)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except SeedError as e:
        print("seed: %s" % e, file=sys.stderr)
        sys.exit(1)
