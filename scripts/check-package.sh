#!/usr/bin/env bash
# Builds the Debian package from an optimised build in build-package/ and checks it as a user would
# meet it: the files it must hold, the programs run from a scratch root it is unpacked into, and
# lintian (any error fails). Called by test.sh after the tests; on its own it installs what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
cantorix_install "${CANTORIX_PACKAGES[@]}" "${CANTORIX_PACKAGE_CHECK_PACKAGES[@]}"

cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCANTORIX_TESTS=OFF -DCANTORIX_SANITIZE=OFF
cmake --build build-package
rm -f build-package/cantorix_*.deb
(cd build-package && cpack -G DEB >/dev/null)
shopt -s nullglob
debs=(build-package/cantorix_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "check-package: expected one package in build-package, found ${#debs[@]}" >&2; exit 1; }
deb=${debs[0]}
echo "Package: $deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
fail() { echo "check-package: $*" >&2; exit 1; }

# What the package must hold.
for f in usr/bin/cantorix usr/bin/cantorix-cli \
         usr/share/man/man1/cantorix.1.gz usr/share/man/man1/cantorix-cli.1.gz \
         usr/share/bash-completion/completions/cantorix-cli usr/share/bash-completion/completions/cantorix \
         usr/share/doc/cantorix/copyright usr/share/doc/cantorix/changelog.gz usr/share/doc/cantorix/guide.html \
         usr/share/applications/cantorix.desktop usr/share/metainfo/org.cantorix.Cantorix.metainfo.xml; do
  [ -s "$root/$f" ] || fail "the package lacks /$f"
done
ls "$root"/usr/share/icons/hicolor/*/apps/cantorix.* >/dev/null 2>&1 || fail "the package lacks the icon"
[ -n "$(find "$root/usr/lib" -path '*/cantorix/libcantorix_http.so' 2>/dev/null)" ] || fail "the package lacks the HTTP module"
control=$(dpkg-deb -f "$deb")
grep -q '^Section: sound$' <<<"$control" || fail "the package's section is not sound"
grep -q '^Recommends:.*libmediainfo0v5' <<<"$control" || fail "the package does not recommend libmediainfo0v5"
grep -q '^Recommends:.*xdg-utils' <<<"$control" || fail "the package does not recommend xdg-utils"
grep -q '^Depends:.*libqt6widgets6' <<<"$control" || fail "the package's dependencies lack the Qt libraries"
for program in cantorix cantorix-cli; do
  ! readelf -S "$root/usr/bin/$program" | grep -q '\.symtab' || fail "$program is not stripped"
done

# The programs run from where the package puts them, and find their module there.
version=$("$root/usr/bin/cantorix-cli" --version)
[ "$version" = "cantorix-cli $(dpkg-deb -f "$deb" Version)" ] || fail "cantorix-cli --version says \"$version\""
QT_QPA_PLATFORM=offscreen "$root/usr/bin/cantorix" --version >/dev/null || fail "cantorix --version failed"
# A request to a closed local port: it fails, but only after the module was loaded.
env -u http_proxy -u HTTP_PROXY -u all_proxy -u ALL_PROXY HOME="$root/home" XDG_CONFIG_HOME="$root/home" \
  "$root/usr/bin/cantorix-cli" sites --server "127.0.0.1:9" >/dev/null 2>"$root/sites.err" || true
grep -q . "$root/sites.err" || fail "cantorix-cli sites said nothing"
! grep -q "Network support not available" "$root/sites.err" || fail "the installed programs miss their HTTP module"
# The translations travel inside the programs.
[ "$(LANGUAGE=de LANG=de_DE.UTF-8 "$root/usr/bin/cantorix-cli" --help 2>&1)" != "$("$root/usr/bin/cantorix-cli" --help 2>&1)" ] ||
  fail "cantorix-cli --help is not translated into German"
zcat "$root/usr/share/man/man1/cantorix-cli.1.gz" | grep -q '^\.TH' || fail "the manual page of cantorix-cli is no manual page"

# Errors fail the check; warnings and notes are printed for the reader.
lintian --tag-display-limit 0 "$deb" | tee "$root/lintian.txt" || true
! grep -q '^E:' "$root/lintian.txt" || fail "lintian reports errors"
echo "Package checked: $deb"
