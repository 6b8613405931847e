# Sourced by the Wine runners. Root's Wine ignores the read-only attribute
# (CreateFileA, WritePrivateProfileStringA and DeleteFileA succeed on
# read-only files), so read-only files would behave unlike on Windows: run by
# root, a runner re-executes itself as the unprivileged user kqtest (made by
# scripts/bootstrap.sh), which owns the runner's folder. KQ_WINE_AS_ROOT=1
# keeps root.
#
#   kq_as_test_user FOLDER "$0" "$@"
#
# The user needs to reach the checkout: folders above it that others may not
# pass through (a checkout under /root, say) are opened for passing through
# only, not for listing.
kq_as_test_user() {
  local folder=$1
  shift
  if [ "$(id -u)" -eq 0 ] && [ -z "${KQ_WINE_AS_ROOT:-}" ] && id -u kqtest >/dev/null 2>&1; then
    mkdir -p "$folder"
    [ "$(stat -c %U "$folder")" = kqtest ] || chown -R kqtest: "$folder"
    local dir
    dir=$(cd "$(dirname "$1")/.." && pwd)
    while [ "$dir" != / ]; do
      [ -n "$(find "$dir" -maxdepth 0 -perm -o=x)" ] || chmod o+x "$dir"
      dir=$(dirname "$dir")
    done
    exec setpriv --reuid=kqtest --regid=kqtest --clear-groups "$@"
  fi
}
