#!/bin/sh
# Renders the HTML manual with headless Chromium into PNG pictures (1100 pixels wide, one per
# 1500 pixels of page) for looking at:  scripts/screenshot-manual.sh [manual.html] [out-folder]
# Exits 77 (skipped) when Chromium is not installed: apt-get install chromium
set -eu
manual=$(realpath "${1:-data/Manual/Skarvel.html}")
out=${2:-build/manual-screenshots}
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "chromium not installed: skipping the manual screenshots" >&2
  exit 77
fi
mkdir -p "$out"
out=$(realpath "$out")
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
for part in 0 1 2 3 4 5 6; do
  offset=$((part * 1500))
  # Each picture shows the page through a frame shifted up by the part's offset.
  cat > "$out/part$part.html" <<HTML
<html><body style="margin:0;overflow:hidden"><iframe src="file://$manual"
 style="position:absolute;top:-${offset}px;left:0;width:1100px;height:12000px;border:0"></iframe></body></html>
HTML
  timeout 60 "$browser" --headless=new --no-sandbox --disable-gpu --hide-scrollbars --no-first-run \
    --user-data-dir="$profile" --allow-file-access-from-files --window-size=1100,1500 \
    --screenshot="$out/manual-$part.png" "file://$out/part$part.html" >/dev/null 2>&1
  rm -f "$out/part$part.html"
  [ -s "$out/manual-$part.png" ] || { echo "no screenshot for part $part" >&2; exit 1; }
done
echo "manual screenshots in $out"
