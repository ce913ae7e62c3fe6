#!/usr/bin/env bash
# Fetches a static qemu-i386 of QEMU 9 or later into build/tools/qemu-user, for the 32-bit
# Windows program's tests under Wine. Debian 12's own QEMU 7.2 ignores MAP_FIXED_NOREPLACE, and
# every Wine process then takes minutes; bookworm-backports has QEMU 10. The package is fetched
# with an apt configuration of its own, so the machine's apt sources stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."

target=build/tools/qemu-user
[ -x "$target/usr/bin/qemu-i386" ] && exit 0

# The Debian mirror the machine already uses.
mirror=$(sed -n 's/^URIs: *\(\S*\/debian\)\/*$/\1/p' /etc/apt/sources.list.d/debian.sources \
  2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}

apt_dir=$(mktemp -d)
trap 'rm -rf "$apt_dir"' EXIT
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts"
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm-backports main" \
  >"$apt_dir/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/parts"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "Dir::State::Status=/var/lib/dpkg/status"
  -o "APT::Architecture=amd64")
# As root apt would fetch as the user _apt, who may not enter this private folder.
[ "$(id -u)" -ne 0 ] || apt_options+=(-o "APT::Sandbox::User=root")

echo "Fetching qemu-user from bookworm-backports into $target"
apt-get "${apt_options[@]}" update -qq
(cd "$apt_dir" && apt-get "${apt_options[@]}" download -qq qemu-user/bookworm-backports)
rm -rf "$target"
mkdir -p "$target"
dpkg-deb -x "$apt_dir"/qemu-user_*.deb "$target"
"$target/usr/bin/qemu-i386" --version | head -n 1
