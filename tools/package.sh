#!/usr/bin/env bash
# Builds the Debian package: a Release build with prefix /usr in its own folder,
# Debian's hardening flags, then `cpack -G DEB`. Leaves
# out/tamaruka_<version>_<arch>.deb and prints its path.
#   tools/package.sh [BUILD_DIR [OUT_DIR]]   (defaults: build-package/, out/)
set -euo pipefail
source_dir=$(realpath "$(dirname "$0")/..")
build_dir=$(realpath -m "${1:-$source_dir/build-package}")
out_dir=$(realpath -m "${2:-$source_dir/out}")
cd "$source_dir"

for tool in cmake cpack dpkg-deb dpkg-shlibdeps dpkg-buildflags; do
  command -v "$tool" >/dev/null || { echo "package: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done

# The flags Debian builds its packages with (fortify, stack protector, relro,
# bindnow); CMake reads CFLAGS, CXXFLAGS and LDFLAGS from the environment.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags"
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
command -v ccache >/dev/null && generator+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# LIBDIR lib: GNUInstallDirs would pick the multiarch folder for prefix /usr,
# but the programs belong in /usr/lib/tamaruka (they are no libraries).
cmake -S . -B "$build_dir" "${generator[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_LIBDIR=lib \
  -DTAMARUKA_BUILD_TESTS=OFF -DTAMARUKA_BUILD_BENCHMARKS=OFF >&2
cmake --build "$build_dir" --parallel "$(nproc)" >&2
rm -rf "$build_dir/cpack"
(cd "$build_dir" && cpack -G DEB -B "$build_dir/cpack" >&2)

# CPack names it tamaruka_<version>_<arch>.deb, the version from project().
debs=("$build_dir"/cpack/tamaruka_*.deb)
[ -f "${debs[0]}" ] || { echo "package: cpack made no package" >&2; exit 1; }
deb=${debs[0]}
mkdir -p "$out_dir"
mv -f "$deb" "$out_dir/"
echo "$out_dir/$(basename "$deb")"
