#!/usr/bin/env bash
# qrpdump on report files whose pages are wider than paper: the loader refuses
# a side beyond its maximum with its page-size error, and a page at the maximum
# is written scaled down to 4,096 pixels, in well under a gigabyte of memory.
#   qrpdump_oversized_pages.sh HOSTILE_PAGES QRPDUMP
set -euo pipefail
hostile=$1 qrpdump=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$hostile" "$dir" >/dev/null

if "$qrpdump" "$dir/wide-page.QRP" --png "$dir/wide" 2>"$dir/err"; then
  echo "FAIL: a page 1,000,000 units wide was loaded"; exit 1
fi
grep -q "Report file has an invalid page size" "$dir/err" || { echo "FAIL: wrong error: $(cat "$dir/err")"; exit 1; }
[ ! -e "$dir/wide/page-1.png" ] || { echo "FAIL: an image was written"; exit 1; }

/usr/bin/time -f %M -o "$dir/rss" "$qrpdump" "$dir/widest-page.QRP" --png "$dir/widest" >/dev/null
# PNG: width and height are the big-endian words at bytes 16 and 20.
read -r w h < <(od -An -tu1 -j16 -N8 "$dir/widest/page-1.png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
rss=$(cat "$dir/rss")
echo "page image ${w} x ${h}, peak memory ${rss} KB"
[ "$w" -eq 4096 ] && [ "$h" -le 4096 ] || { echo "FAIL: not scaled to 4096 pixels"; exit 1; }
[ "$rss" -lt 1000000 ] || { echo "FAIL: over a gigabyte of memory"; exit 1; }
