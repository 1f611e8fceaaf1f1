#!/usr/bin/env bash
# Proves that a commit's release rebuilds bit for bit: clones the commit twice, into two folders of
# different path lengths, builds the release (tools/release.sh) in each under a different umask, time zone
# and locale, and compares the two. On a difference it names each file that differs, shows where it
# differs (diffoscope) and fails.
#   tools/verify-release.sh [COMMIT]       the commit to check, HEAD by default
#   tools/verify-release.sh --compare A B  only compares two release folders built already
# Each step prints a line with the time; a release build takes minutes.
set -euo pipefail

say() { echo "[$(date -u +%H:%M:%S)] verify-release: $*"; }

sums_of() { awk -v n="$2" '$2 == n { print $1 }' "$1/SHA256SUMS"; }

# Succeeds when release folders $1 and $2 hold the same files with the same bytes and each one's SHA256SUMS
# lists exactly its other files with their right sums; otherwise names what differs and fails.
compare() {
  local a=$1 b=$2 status=0 dir listed present name
  for dir in "$a" "$b"; do
    if [ ! -f "$dir/SHA256SUMS" ]; then
      say "$dir has no SHA256SUMS"
      return 1
    fi
    listed=$(awk '{ print $2 }' "$dir/SHA256SUMS" | LC_ALL=C sort)
    present=$(cd "$dir" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort)
    if [ "$listed" != "$present" ]; then
      say "$dir: SHA256SUMS does not list exactly the files in the folder"
      status=1
    fi
    if ! (cd "$dir" && sha256sum --quiet --strict -c SHA256SUMS >/dev/null 2>&1); then
      say "$dir: a file does not match its line in SHA256SUMS"
      status=1
    fi
  done
  while read -r name; do
    if [ "$(sums_of "$a" "$name")" = "$(sums_of "$b" "$name")" ]; then
      continue
    fi
    status=1
    if [ ! -f "$a/$name" ] || [ ! -f "$b/$name" ]; then
      say "differs: $name (only one release has it)"
    else
      say "differs: $name"
      timeout 600 diffoscope --text - "$a/$name" "$b/$name" 2>&1 | head -n 200 || true
    fi
  done < <(cat "$a/SHA256SUMS" "$b/SHA256SUMS" | awk '{ print $2 }' | LC_ALL=C sort -u)
  if [ "$status" -eq 0 ] && ! cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS"; then
    say "differs: SHA256SUMS"
    status=1
  fi
  if [ "$status" -eq 0 ]; then
    say "identical: $(wc -l < "$a/SHA256SUMS") files and SHA256SUMS"
  fi
  return "$status"
}

if [ "${1:-}" = "--compare" ]; then
  [ $# -eq 3 ] || { echo "usage: $0 --compare RELEASE_A RELEASE_B" >&2; exit 2; }
  compare "$2" "$3"
  exit
fi
[ $# -le 1 ] || { echo "usage: $0 [COMMIT]" >&2; exit 2; }

cd "$(dirname "$0")/.."
repository=$(git rev-parse --path-format=absolute --git-common-dir)
commit=$(git rev-parse --verify "${1:-HEAD}^{commit}")
started=$(date +%s)
work=$(mktemp -d /tmp/orlinde-verify.XXXXXX)
trap 'rm -rf "$work"' EXIT
say "commit $commit, working in $work"

# Clones the commit into $1 and builds its release there with umask $2, TZ=$3 and LC_ALL=$4; the build's
# output goes to $1.log and is shown when the build fails.
build() {
  local dir=$1 mask=$2 zone=$3 locale=$4
  say "cloning into $dir"
  mkdir -p "$(dirname "$dir")"
  (umask "$mask" && git clone -q --no-checkout "$repository" "$dir" && git -C "$dir" checkout -q --detach "$commit")
  say "building the release there (umask $mask, TZ=$zone, LC_ALL=$locale)"
  if ! (umask "$mask" && cd "$dir" && TZ=$zone LC_ALL=$locale tools/release.sh) > "$dir.log" 2>&1; then
    tail -n 40 "$dir.log"
    say "the release build in $dir failed"
    return 1
  fi
  say "built $(wc -l < "$dir/out/release/SHA256SUMS") files and their SHA256SUMS"
}

build "$work/a" 022 UTC C.UTF-8
build "$work/second/clone/in/a/deeper/folder/b" 077 Pacific/Kiritimati ja_JP.UTF-8
say "comparing the two releases"
status=0
compare "$work/a/out/release" "$work/second/clone/in/a/deeper/folder/b/out/release" || status=$?
say "took $(( $(date +%s) - started )) s"
exit "$status"
