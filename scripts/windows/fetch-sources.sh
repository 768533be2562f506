#!/usr/bin/env bash
# fetch-sources.sh DEST [PACKAGE...]
# Fetches the Debian sources of the libraries the Windows build links (signatures checked
# by apt), or of the packages named, and unpacks each into DEST/<package>. Adds a deb-src
# entry for the system's own Debian mirror first when there is none. Does nothing for a
# package already unpacked.
set -euo pipefail
dest=$1
shift
packages=("$@")
((${#packages[@]})) || packages=(zlib libjpeg-turbo libpng1.6 libharu qpdf freeimage libde265 dav1d libheif)
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo

missing=()
for p in "${packages[@]}"; do [ -f "$dest/$p/.unpacked" ] || missing+=("$p"); done
((${#missing[@]} == 0)) && exit 0

# A deb-src stanza with the same mirrors and suites as the system's deb entries.
have_deb_src() {
  grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/
}
if ! have_deb_src; then
  stanzas=$(awk 'BEGIN { RS = ""; ORS = "\n\n" }
    /(^|\n)Types:[^\n]*[ \t]deb([ \t]|\n|$)/ && /(^|\n)URIs:[^\n]*debian/ {
      n = split($0, lines, "\n"); out = ""
      for (i = 1; i <= n; i++) {
        if (lines[i] ~ /^#/) continue
        if (lines[i] ~ /^Types:/) lines[i] = "Types: deb-src"
        out = out lines[i] "\n"
      }
      printf "%s\n", out
    }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  if [ -z "$stanzas" ] && [ -f /etc/apt/sources.list ]; then
    stanzas=$(awk '$1 == "deb" && $2 ~ /debian/ {sub(/^deb /, "deb-src "); print}' /etc/apt/sources.list)
    echo "$stanzas" | $SUDO tee /etc/apt/sources.list.d/tolvane-deb-src.list >/dev/null
  else
    echo "$stanzas" | $SUDO tee /etc/apt/sources.list.d/tolvane-deb-src.sources >/dev/null
  fi
  $SUDO apt-get update -qq
fi

mkdir -p "$dest/download"
for p in "${missing[@]}"; do
  rm -rf "${dest:?}/$p"
  # Newest version first; a mirror may lack one (seen: the security suite's zlib).
  for v in $(apt-cache showsrc "$p" | awk '/^Version:/ {print $2}' | sort -Vru); do
    (cd "$dest/download" && apt-get source --download-only -qq "$p=$v" >/dev/null 2>&1) && break
  done
  dsc=$(ls "$dest/download/${p}_"*.dsc 2>/dev/null | sort -V | tail -1 || true)
  if [ -n "$dsc" ] && dpkg-source -x --no-check "$dsc" "$dest/$p" >/dev/null 2>&1; then
    :
  else
    # The debian part did not arrive or unpack: the orig tarball is the library's own source.
    orig=$(ls "$dest/download/${p}_"*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | sort -V | tail -1 || true)
    [ -n "$orig" ] || { echo "fetch-sources: no source for $p" >&2; exit 1; }
    mkdir -p "$dest/$p"
    tar -C "$dest/$p" --strip-components=1 -xf "$orig"
  fi
  touch "$dest/$p/.unpacked"
done
