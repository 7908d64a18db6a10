#!/usr/bin/env bash
# A full disk, for real: a small tmpfs filled to the last byte. Print to PDF and
# Save of a report file over existing files fail with the cause named, and the
# old files stay as they were with no partial file beside them.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
[ "$(id -u)" -eq 0 ] || skip "mounting a small file system needs root"
disk=$E2E_WORK/disk
mkdir -p "$disk"
mount -t tmpfs -o size=256k tmpfs "$disk" 2>/dev/null || skip "this machine does not allow mounting a tmpfs"
unmount() { umount "$disk" 2>/dev/null || true; e2e_cleanup; }
trap unmount EXIT

for t in test_platform test_report; do
  out=$(STELLARO_FULL_DISK_DIR=$disk QT_QPA_PLATFORM=offscreen "$E2E_BIN_DIR/tests/$t" --gtest_filter='FullDisk.*' 2>&1) ||
    fail "$t on a full disk: $out"
  grep -q '\[  PASSED  \] 1 test' <<<"$out" || fail "$t ran no full-disk test: $out"
  rm -rf "${disk:?}"/* "$disk"/.[!.]* 2>/dev/null || true
done
echo "PASS"
