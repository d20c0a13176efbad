#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine (as root, or through
# sudo), and tries the installed programs: varnel-cli on a copy of the
# sample, the editor started offscreen on a file, the desktop's file types
# and thumbnails of both kinds of file, and the desktop entry and AppStream
# metadata through their validators.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh dpkg-dev file desktop-file-utils appstream shared-mime-info libglib2.0-bin
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

# Started on a file and still running after five seconds, with nothing said
# about a missing platform plugin or library: it started. Run as root, it
# keeps its working files in root's data folder and leaves nothing of its
# own in the program folder.
data=$(eval echo ~"$(id -un)")/.local/share/varnel
rm -f "$data/zlib/temp/game file.bin"*
before=$(find /usr/lib/varnel | sort)
status=0
QT_QPA_PLATFORM=offscreen timeout 5 varnel "$work/game file.bin" > "$work/editor.log" 2>&1 || status=$?
if [ "$status" -ne 124 ] || grep -Ei "could not|cannot|error|failed" "$work/editor.log"; then
    echo "the installed editor did not start (exit $status):"
    cat "$work/editor.log"
    exit 1
fi
[ -f "$data/zlib/temp/game file.bin.unzlib" ] || { echo "the editor did not open the file in $data"; exit 1; }
[ "$(find /usr/lib/varnel | sort)" = "$before" ] || { echo "the editor left files in /usr/lib/varnel"; exit 1; }
echo "installed varnel opened a file given to it, its working files in $data"

# The desktop's file-type database knows a renamed game file and a preset
# named *.json by what they hold, and the thumbnailer draws both.
cp samples/unnamed_278.bin "$work/scoreboard.dat"
varnel-cli show --json "$work/game file.bin" > "$work/my layout.json"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/thumbnailers/io.varnel.Varnel.thumbnailer)
for pair in "scoreboard.dat application/x-varnel-game" "my layout.json application/x-varnel-layout"; do
    file=${pair% *} type=${pair##* }
    seen=$(gio info -a standard::content-type "$work/$file" | sed -n 's/.*standard::content-type: //p')
    [ "$seen" = "$type" ] || { echo "$file is taken for $seen, not $type"; exit 1; }
    command=${exec_line//%s/256}
    command=${command//%i/\"$work/$file\"}
    command=${command//%o/\"$work/$file.png\"}
    eval "$command"
    file --brief "$work/$file.png" | grep -q "^PNG image data, 256 x" || { echo "no thumbnail of $file"; exit 1; }
    echo "$file is $type, and its thumbnail is drawn"
done

desktop-file-validate /usr/share/applications/io.varnel.Varnel.desktop
appstreamcli validate --no-net /usr/share/metainfo/io.varnel.Varnel.metainfo.xml
echo "package $(basename "$package") installed and checked"
