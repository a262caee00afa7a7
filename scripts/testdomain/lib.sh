# Shared settings and helpers of the test-domain scripts (sourced, not run).
#
# Two domain controllers live in a network namespace of its own, on loopback
# addresses of their own (dc1 127.0.0.11, dc2 127.0.0.12); everything they
# write lives under the state directory. Nothing in the machine's own /etc is
# touched: names resolve through /etc/netns/<namespace>/{hosts,resolv.conf},
# which only processes run with `ip netns exec` see. The controllers' own DNS
# servers answer the domain's names, SRV records included.

TD_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TD_STATE=${TXADS_TESTDOMAIN_STATE:-/var/tmp/txads-testdomain}
TD_NS=${TXADS_TESTDOMAIN_NS:-txads-dc}
TD_REALM=CORP.EXAMPLE.COM
TD_NETBIOS=CORP
TD_DNS=corp.example.com
TD_DC=dc1.corp.example.com           # the first controller: LDAPURI, admin server
TD_DC2=dc2.corp.example.com          # the second, joined to the domain of the first
TD_DCS=(1 2)                         # controller numbers, the first first
TD_BASE=DC=corp,DC=example,DC=com
TD_PASSWORD=${TXADS_TEST_PASSWORD:-Txads-Test-Pass1}
# Host name that test processes see (their own UTS namespace): the current
# station of the library is this computer, seeded in OU=Lab,OU=Site.
TD_HOSTNAME=${TXADS_TEST_HOSTNAME:-pc042.corp.example.com}

TD_LIVE=$TD_STATE/dc                  # the running first controller
TD_LIVE2=$TD_STATE/dc2                # the running second controller
TD_TEMPLATE=$TD_STATE/template        # both, provisioned, joined and seeded; never run
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

# Controller N (1 or 2): host name, address, directory, pid file.
td_dc_host() { echo "dc$1.$TD_DNS"; }
td_dc_ip() { echo "127.0.0.1$1"; }
td_dc_dir() { if [[ $1 == 1 ]]; then echo "$TD_LIVE"; else echo "$TD_STATE/dc$1"; fi; }
td_dc_pidfile() { echo "$(td_dc_dir "$1")/run/samba.pid"; }

td_valid_dc() { [[ $1 == 1 || $1 == 2 ]] || td_die "no controller '$1' (1 or 2)"; }

# Echoes the pid of controller N's samba when it runs.
td_dc_pid() {
  local f pid
  f=$(td_dc_pidfile "$1")
  [[ -r $f ]] || return 1
  pid=$(tr -dc 0-9 <"$f")
  [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null && echo "$pid"
}

td_samba_pid() { td_dc_pid 1; }

# True when at least one controller runs.
td_any_dc_runs() {
  local n
  for n in "${TD_DCS[@]}"; do td_dc_pid "$n" >/dev/null && return 0; done
  return 1
}

# The server options both controllers are provisioned or joined with: all
# paths below their own directory, one loopback address each, and the
# services a domain controller with its own DNS needs (no dynamic DNS
# updates: the records are written when the template is built). Each
# controller is told of the other's changes within a second, and pulls them
# every 5 s anyway (every 300 s, first after 15 s, by default; costs about 1 %
# of a CPU), so tests wait little for replication.
td_server_options() {
  local dir=$1 ip=$2
  TD_SERVER_OPTIONS=(
    --option="pid directory = $dir/run"
    --option="lock directory = $dir/lock"
    --option="ncalrpc dir = $dir/run/ncalrpc"
    --option="winbindd socket directory = $dir/run/winbindd"
    --option="ntp signd socket directory = $dir/run/ntp_signd"
    --option="log file = $dir/log/log.%m"
    --option="max log size = 10000"
    --option="ldb:nosync = true"
    --option="interfaces = $ip/8"
    --option="bind interfaces only = yes"
    --option="server services = ldap, cldap, kdc, rpc, dns, drepl, kcc"
    --option="dns forwarder = "
    --option="dreplsrv:notify_interval = 1"
    --option="dreplsrv:periodic_interval = 5"
    --option="dreplsrv:periodic_startup_interval = 2"
    --option="dcerpc endpoint servers = -winreg -srvsvc"
  )
}

# Starts controller N's samba inside the namespace (returns at once; see
# td_dc_wait). It becomes a session leader, so its process group is its pid.
td_dc_start() {
  local dir
  dir=$(td_dc_dir "$1")
  rm -f "$(td_dc_pidfile "$1")"
  td_in_ns samba --configfile="$dir/etc/smb.conf" --daemon \
    </dev/null >"$dir/log/samba.out" 2>&1 9>&- || {
    cat "$dir/log/samba.out" >&2
    td_die "samba of dc$1 did not start"
  }
}

# Stops controller N (a frozen one too) and whatever of its processes remain.
td_dc_stop() {
  local pid
  pid=$(td_dc_pid "$1") || return 0
  kill -CONT -- "-$pid" 2>/dev/null || true
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL -- "-$pid" 2>/dev/null || true
  rm -f "$(td_dc_pidfile "$1")"
}

# Waits until controller N answers a GSSAPI search (at most SECONDS).
td_dc_wait() {
  local n=$1 deadline=$(($(date +%s) + ${2:-90}))
  until td_dc_answers "$n"; do
    if (($(date +%s) > deadline)); then
      tail -20 "$(td_dc_dir "$n")"/log/log.samba >&2 2>/dev/null || true
      td_die "dc$n did not answer within ${2:-90} s"
    fi
    sleep 0.3
  done
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
    kdc_timeout = 2s
    dns_canonicalize_hostname = false
    rdns = false
    forwardable = true
    ticket_lifetime = 10h
    renew_lifetime = 7d
[realms]
    $TD_REALM = {
        kdc = $TD_DC
        kdc = $TD_DC2
        admin_server = $TD_DC
        kpasswd_server = $TD_DC
    }
[domain_realm]
    .$TD_DNS = $TD_REALM
    $TD_DNS = $TD_REALM
KRB
}

# The namespace's loopback with both controllers' addresses, and its name
# service: the controllers' own DNS servers (the first, then the second, so
# names still resolve while one is stopped). The hosts file keeps the
# controllers' and the test station's addresses, so that start-up, Kerberos
# and a stopped or frozen first controller never wait for DNS; service
# records and the domain's own name come from DNS only.
td_setup_ns() {
  td_ns_exists || ip netns add "$TD_NS"
  ip -n "$TD_NS" link set lo up
  local n
  for n in "${TD_DCS[@]}"; do
    ip -n "$TD_NS" addr replace "$(td_dc_ip "$n")/8" dev lo
  done
  mkdir -p "$TD_NETNS_ETC"
  local short=${TD_HOSTNAME%%.*}
  cat >"$TD_NETNS_ETC/hosts" <<HOSTS
127.0.0.1 localhost
$(td_dc_ip 1) $TD_DC ${TD_DC%%.*}
$(td_dc_ip 2) $TD_DC2 ${TD_DC2%%.*}
127.0.0.1 $TD_HOSTNAME $short
::1 localhost ip6-localhost ip6-loopback
HOSTS
  printf 'nameserver %s\nnameserver %s\noptions timeout:1 attempts:1\n' \
    "$(td_dc_ip 1)" "$(td_dc_ip 2)" >"$TD_NETNS_ETC/resolv.conf"
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

# True when controller N runs and answers a GSSAPI search as the administrator.
td_dc_answers() {
  td_dc_pid "$1" >/dev/null || return 1
  td_ticket_fresh administrator || td_kinit administrator 2>/dev/null || return 1
  # A frozen controller accepts the connection and never answers: the
  # search gets 10 s in all.
  td_in_ns timeout 10 env KRB5CCNAME="FILE:$TD_CCACHE/administrator" \
    ldapsearch -Q -Y GSSAPI -N -o nettimeout=5 -H "ldap://$(td_dc_host "$1")" -b "" -s base \
    defaultNamingContext 2>/dev/null | grep -q "^defaultNamingContext: $TD_BASE"
}

# Healthy: both controllers run and answer, and DNS lists both.
td_healthy() {
  td_ns_exists || return 1
  local n
  for n in "${TD_DCS[@]}"; do td_dc_answers "$n" || return 1; done
  [[ $(td_in_ns host -t SRV "_ldap._tcp.dc._msdcs.$TD_DNS" 2>/dev/null | grep -c 'has SRV') -ge 2 ]]
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
