# Shared settings and helpers of the test-domain scripts (sourced, not run).
#
# The domain controller lives in a network namespace of its own; everything it
# writes lives under the state directory. Nothing in the machine's own /etc is
# touched: names resolve through /etc/netns/<namespace>/hosts, which only
# processes run with `ip netns exec` see.

TD_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TD_STATE=${TXADS_TESTDOMAIN_STATE:-/var/tmp/txads-testdomain}
TD_NS=${TXADS_TESTDOMAIN_NS:-txads-dc}
TD_REALM=CORP.EXAMPLE.COM
TD_NETBIOS=CORP
TD_DNS=corp.example.com
TD_DC=dc1.corp.example.com
TD_BASE=DC=corp,DC=example,DC=com
TD_PASSWORD=${TXADS_TEST_PASSWORD:-Txads-Test-Pass1}
# Host name that test processes see (their own UTS namespace): the current
# station of the library is this computer, seeded in OU=Lab,OU=Site.
TD_HOSTNAME=${TXADS_TEST_HOSTNAME:-pc042.corp.example.com}

TD_LIVE=$TD_STATE/dc                  # the running instance
TD_TEMPLATE=$TD_STATE/template        # provisioned and seeded, never run
TD_CCACHE=$TD_STATE/ccache
TD_KRB5_CONF=$TD_STATE/krb5.conf
TD_MARKER=$TD_STATE/started-by-up     # written only when `up` started the server
TD_LEASES=$TD_STATE/leases            # one file per live user of the domain (its pid)
TD_NETNS_ETC=/etc/netns/$TD_NS
TD_PYTHON=/usr/bin/python3            # the interpreter samba's bindings belong to

td_log() { echo "testdomain: $*" >&2; }
td_die() {
  td_log "$*"
  exit 1
}

td_require_root() {
  [[ $(id -u) -eq 0 ]] || td_die "must run as root (network namespaces need it)"
}

# Serialises up/down/ticket refresh between concurrent test runs.
td_lock() {
  mkdir -p "$TD_STATE"
  exec 9>"$TD_STATE/scripts.lock"
  flock -w 300 9 || td_die "timed out waiting for $TD_STATE/scripts.lock"
}

td_samba_pid() {
  local f=$TD_LIVE/run/samba.pid pid
  [[ -r $f ]] || return 1
  pid=$(tr -dc 0-9 <"$f")
  [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null && echo "$pid"
}

td_ns_exists() { ip netns list 2>/dev/null | awk '{print $1}' | grep -qx "$TD_NS"; }

# Runs a command inside the namespace with the Kerberos configuration.
td_in_ns() {
  ip netns exec "$TD_NS" env KRB5_CONFIG="$TD_KRB5_CONF" "$@"
}

td_write_krb5_conf() {
  mkdir -p "$TD_STATE"
  cat >"$TD_KRB5_CONF" <<KRB
[libdefaults]
    default_realm = $TD_REALM
    dns_lookup_realm = false
    dns_lookup_kdc = false
    dns_canonicalize_hostname = false
    rdns = false
    forwardable = true
    ticket_lifetime = 10h
    renew_lifetime = 7d
[realms]
    $TD_REALM = {
        kdc = $TD_DC
        admin_server = $TD_DC
        kpasswd_server = $TD_DC
    }
[domain_realm]
    .$TD_DNS = $TD_REALM
    $TD_DNS = $TD_REALM
KRB
}

td_write_netns_etc() {
  mkdir -p "$TD_NETNS_ETC"
  local short=${TD_HOSTNAME%%.*}
  cat >"$TD_NETNS_ETC/hosts" <<HOSTS
127.0.0.1 localhost
127.0.0.1 $TD_DC ${TD_DC%%.*}
127.0.0.1 $TD_DNS
127.0.0.1 $TD_HOSTNAME $short
::1 localhost ip6-localhost ip6-loopback
HOSTS
  # No name server in the namespace: every DNS query fails at once instead
  # of waiting for a server that cannot be reached.
  printf 'nameserver 127.0.0.1\noptions timeout:1 attempts:1\n' >"$TD_NETNS_ETC/resolv.conf"
}

# Gets a fresh ticket for <user> into ccache/<user> (password on stdin).
td_kinit() {
  local user=$1 cc=$TD_CCACHE/$1
  mkdir -p "$TD_CCACHE"
  printf '%s\n' "$TD_PASSWORD" |
    td_in_ns kinit -c "FILE:$cc" "$user@$TD_REALM" >/dev/null
}

# True when ccache/<user> was written in the last 8 hours (tickets live 10, so
# at least 2 remain). Comparing with a reference file costs no process.
td_ticket_fresh() {
  local cc=$TD_CCACHE/$1 ref=$TD_STATE/ticket-age-limit
  [[ -s $cc ]] || return 1
  [[ -e $ref && -n ${TD_REF_SET:-} ]] || { touch -d '8 hours ago' "$ref" && TD_REF_SET=1; }
  [[ $cc -nt $ref ]]
}

# Users whose tickets `up` and `run` keep valid (written by the seeder).
td_seeded_users() {
  echo administrator
  [[ -r $TD_LIVE/seeded-users ]] && cat "$TD_LIVE/seeded-users"
  return 0
}

# Echoes the seeded users whose ticket is missing or old.
td_stale_tickets() {
  local u
  while IFS= read -r u; do
    [[ -n $u ]] && ! td_ticket_fresh "$u" && echo "$u"
  done < <(td_seeded_users)
  return 0
}

td_refresh_tickets() {
  local u
  while IFS= read -r u; do
    td_kinit "$u" || td_log "no ticket for $u"
  done < <(td_stale_tickets)
}

# Healthy: the server runs and answers a GSSAPI search as the administrator.
td_healthy() {
  td_ns_exists || return 1
  td_samba_pid >/dev/null || return 1
  td_ticket_fresh administrator || td_kinit administrator 2>/dev/null || return 1
  td_in_ns env KRB5CCNAME="FILE:$TD_CCACHE/administrator" \
    ldapsearch -Q -Y GSSAPI -N -o nettimeout=5 -H "ldap://$TD_DC" -b "" -s base \
    defaultNamingContext 2>/dev/null | grep -q "^defaultNamingContext: $TD_BASE"
}

# Leases: a test run holds one (the pid of the process that ran `up`) so that
# another run's `down` does not stop the domain under it.
td_lease_add() { mkdir -p "$TD_LEASES" && : >"$TD_LEASES/$1"; }
td_lease_drop() { rm -f "$TD_LEASES/$1"; }
td_live_leases() {
  local f pid n=0
  for f in "$TD_LEASES"/*; do
    [[ -e $f ]] || continue
    pid=${f##*/}
    if kill -0 "$pid" 2>/dev/null; then n=$((n + 1)); else rm -f "$f"; fi
  done
  echo "$n"
}
