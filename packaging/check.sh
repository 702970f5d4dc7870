#!/usr/bin/env bash
# Checks what a desktop and Debian see of a configured and built tree:
# builds the Debian package, validates the launchers and the metainfo, runs
# lintian on the package, and starts each program from the unpacked package
# as its launcher names it.
#   packaging/check.sh BUILD_DIR
# Needs desktop-file-utils, appstream, lintian and dpkg-dev.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)

echo "== Debian package"
rm -f "$build"/vortiquo_*.deb
if ! (cd "$build" && cpack -G DEB) >"$build/cpack.log" 2>&1; then
    cat "$build/cpack.log" >&2
    exit 1
fi
deb=$(ls "$build"/vortiquo_*.deb)
echo "$(basename "$deb")"

echo "== Launchers"
# Hints are allowed: Education and Science are both main categories, and the
# launchers name both on purpose. Errors and warnings are not.
report=$(desktop-file-validate "$build"/packaging/*.desktop 2>&1) || { echo "$report" >&2; exit 1; }
if grep -E ': (error|warning):' <<<"$report" >&2; then
    exit 1
fi

echo "== Metainfo"
for metainfo in "$build"/packaging/*.metainfo.xml; do
    # Fails on errors and on warnings; infos and pedantic notes pass.
    report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || { echo "$report" >&2; exit 1; }
    echo "$(basename "$metainfo"): $(tail -n 1 <<<"$report")"
done

echo "== lintian"
lintian --fail-on error,warning "$deb"

echo "== Programs from the package"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for launcher in "$unpacked"/usr/share/applications/*.desktop; do
    command=$(sed -n 's/^Exec=//p' "$launcher")
    version=$("$unpacked/usr/bin/$command" --version)
    echo "$(basename "$launcher"): $version"
done
echo "packaging checks passed"
