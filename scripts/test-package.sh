#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine (as root, or through
# sudo), and tries the installed programs: varnel-cli on a copy of the
# sample, the editor started offscreen, and the desktop entry and AppStream
# metadata through their validators.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh dpkg-dev file desktop-file-utils appstream
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEL_WERROR=ON -DVARNEL_TESTS=OFF
cmake --build build-package -j2
(cd build-package && rm -f varnel_*.deb && cpack -G DEB)
package=$(ls "$PWD"/build-package/varnel_*.deb)
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --reinstall "$package"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp samples/unnamed_278.bin "$work/game file.bin"
varnel-cli show "$work/game file.bin" | grep -qx "left_shape.x 24"
echo "installed varnel-cli reads the sample"

# Started and still running after five seconds, with nothing said about a
# missing platform plugin or library: it started.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 varnel > "$work/editor.log" 2>&1 || status=$?
if [ "$status" -ne 124 ] || grep -Ei "could not|cannot|error|failed" "$work/editor.log"; then
    echo "the installed editor did not start (exit $status):"
    cat "$work/editor.log"
    exit 1
fi
echo "installed varnel started"

desktop-file-validate /usr/share/applications/io.varnel.Varnel.desktop
appstreamcli validate --no-net /usr/share/metainfo/io.varnel.Varnel.metainfo.xml
echo "package $(basename "$package") installed and checked"
