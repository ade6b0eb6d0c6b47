#!/usr/bin/env bash
# Builds the static libraries the Windows build links (libogg, libvorbis, libjpeg-turbo, libpng,
# googletest, OpenAL Soft) from Debian's source packages, for i686 and x86_64, into a cache
# outside the checkout that later runs reuse:
#   ${XDG_CACHE_HOME:-~/.cache}/ravelin/windows-deps/<arch>-<versions>
#
#   scripts/windows-deps.sh [ARCH...]        build what is missing (default: i686 x86_64)
#   scripts/windows-deps.sh --print-dir ARCH print the folder for ARCH (builds nothing)
#
# Only the library targets the Windows build links are built (no tests, examples or tools of the
# dependencies; googletest only for x86_64, the build whose tests run under wine64; OpenAL Soft
# with the Windows output backends only). Release builds use -O2, as Debian's own packages of
# these libraries do, rather than CMake's -O3: a fresh CI machine builds all of this, and -O3
# only costs compile time there (libjpeg-turbo raises its own C files to -O3 regardless). The
# upstream tarballs are checked against the SHA-256 sums below; no Debian patch is applied.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# name, Debian source package, suite, upstream version, tarball sha256
deps=(
  "ogg libogg bookworm 1.3.5 c4d91be36fc8e54deae7575241e03f4211eb102afb3fc0775fbbc1b740016705"
  "vorbis libvorbis bookworm 1.3.7 0e982409a9c3fc82ee06e08205b1355e5c6aa4c36bca58146ef399621b0ce5ab"
  "jpeg libjpeg-turbo bookworm 2.1.5 254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c"
  "png libpng1.6 bookworm 1.6.39 a00e9d2f2f664186e4202db9299397f851aea71b36a35e74910b8820e380d441"
  "gtest googletest bookworm 1.12.1 81964fe578e9bd7c94dfdb09c8e4d6e6759e19967e397dbea48d1c10e45d0df2"
  "openal openal-soft trixie 1.24.2 7efd383d70508587fbc146e4c508771a2235a5fc8ae05bf6fe721c20a348bd7c"
)
# Raised when the way the libraries are built changes, so an old cache is not reused.
recipe=2

versions=""
for d in "${deps[@]}"; do
  read -r name _ _ version _ <<<"$d"
  versions+="$name$version-"
done
versions+="r$recipe"
cache=${XDG_CACHE_HOME:-$HOME/.cache}/ravelin/windows-deps

dir_for() { echo "$cache/$1-$versions"; }

if [ "${1:-}" = "--print-dir" ]; then
  [ $# -eq 2 ] || { echo "usage: $0 --print-dir ARCH" >&2; exit 2; }
  dir_for "$2"
  exit 0
fi

arches=("$@")
((${#arches[@]})) || arches=(i686 x86_64)
for arch in "${arches[@]}"; do
  case $arch in i686 | x86_64) ;; *) echo "unknown architecture: $arch" >&2; exit 2 ;; esac
done

todo=()
for arch in "${arches[@]}"; do
  [ -f "$(dir_for "$arch")/.complete" ] || todo+=("$arch")
done
if ((${#todo[@]} == 0)); then
  exit 0
fi

scripts/setup.sh g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix nasm libz-mingw-w64-dev \
  cmake ninja-build dpkg-dev

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

# One build at a time per cache: a second run waits, then finds the folders finished.
mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9

# Source entries for the suites the tarballs come from, on the mirror this machine already uses.
ensure_source_entries() {
  local list=/etc/apt/sources.list.d/ravelin-windows-deps.sources
  if [ -f "$list" ]; then return; fi
  local mirror
  mirror=$(apt-cache policy | awk '$3 == "bookworm/main" { print $2; exit }')
  if [ -z "$mirror" ]; then
    echo "no Debian bookworm entry in the apt sources to take the mirror from" >&2
    exit 1
  fi
  printf '%s\n' "Types: deb-src" "URIs: $mirror" "Suites: bookworm trixie" "Components: main" \
    "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" | $SUDO tee "$list" >/dev/null
  $SUDO apt-get update >&2
}

# Fetches one upstream tarball into the cache's source folder and checks its sum.
fetch() {
  local package=$1 suite=$2 version=$3 sum=$4
  local store=$cache/sources
  mkdir -p "$store"
  local tarball
  tarball=$(find "$store" -maxdepth 1 -name "${package}_${version}.orig.tar.*" | head -n 1)
  if [ -z "$tarball" ]; then
    ensure_source_entries
    local tmp
    tmp=$(mktemp -d "$store/.fetch.XXXXXX")
    # apt checks the file against the signed source index; the pinned sum below checks that
    # it is the upstream release this script was written for.
    (cd "$tmp" && apt-get -o APT::Sandbox::User=root source --download-only --tar-only "$package/$suite" >/dev/null)
    tarball=$(find "$tmp" -maxdepth 1 -name "${package}_${version}.orig.tar.*" | head -n 1)
    if [ -z "$tarball" ]; then
      echo "$package/$suite: no ${package}_${version}.orig tarball (has the suite moved on?)" >&2
      ls "$tmp" >&2
      exit 1
    fi
    mv "$tarball" "$store/"
    rm -rf "$tmp"
    tarball=$store/$(basename "$tarball")
  fi
  if ! echo "$sum  $tarball" | sha256sum --check --quiet -; then
    echo "$tarball: SHA-256 differs from the pinned sum; removed" >&2
    rm -f "$tarball"
    exit 1
  fi
  echo "$tarball"
}

unpack() {
  local tarball=$1 into=$2
  mkdir -p "$into"
  tar -xf "$tarball" -C "$into" --strip-components=1
}

# configure_and_build SRC BUILD PREFIX ARCH TARGETS -- CMAKE_OPTIONS...
configure_and_build() {
  local src=$1 build=$2 prefix=$3 arch=$4 targets=$5
  shift 6
  cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$arch-w64-mingw32.cmake" \
    -DRAVELIN_WINDOWS_DEPS="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DBUILD_TESTING=OFF "$@" >"$build.configure.log" 2>&1 ||
    { tail -n 40 "$build.configure.log"; return 1; }
  # shellcheck disable=SC2086
  cmake --build "$build" -j "$(nproc)" --target $targets >"$build.build.log" 2>&1 ||
    { tail -n 40 "$build.build.log"; return 1; }
}

build_arch() {
  local arch=$1
  local final
  final=$(dir_for "$arch")
  local work=$cache/.work-$arch-$$
  local prefix=$work/prefix
  rm -rf "$work"
  mkdir -p "$work" "$prefix/lib" "$prefix/include"
  echo "-- Windows dependencies for $arch into $final"

  local d name package suite version sum tarball
  for d in "${deps[@]}"; do
    read -r name package suite version sum <<<"$d"
    # Only the x86_64 build has tests (this machine runs no 32-bit code).
    if [ "$name" = gtest ] && [ "$arch" != x86_64 ]; then continue; fi
    tarball=$(fetch "$package" "$suite" "$version" "$sum")
    local src=$work/src-$name build=$work/build-$name
    unpack "$tarball" "$src"
    local started=$SECONDS
    case $name in
      ogg)
        configure_and_build "$src" "$build" "$prefix" "$arch" ogg -- \
          -DINSTALL_DOCS=OFF -DINSTALL_PKG_CONFIG_MODULE=OFF
        cmake --install "$build" >/dev/null
        ;;
      vorbis)
        configure_and_build "$src" "$build" "$prefix" "$arch" "vorbis vorbisenc vorbisfile" -- \
          -DINSTALL_PKG_CONFIG_MODULE=OFF
        cmake --install "$build" >/dev/null
        ;;
      jpeg)
        # The libjpeg 6b interface is this version's default. Its install step wants the
        # command-line tools too, so the library and headers are copied by hand.
        configure_and_build "$src" "$build" "$prefix" "$arch" jpeg-static -- \
          -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON
        cp "$build/libjpeg.a" "$prefix/lib/"
        cp "$src/jpeglib.h" "$src/jerror.h" "$src/jmorecfg.h" "$build/jconfig.h" "$prefix/include/"
        ;;
      png)
        configure_and_build "$src" "$build" "$prefix" "$arch" png_static -- \
          -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
          -Dld-version-script=OFF
        cmake --install "$build" >/dev/null
        ;;
      gtest)
        configure_and_build "$src" "$build" "$prefix" "$arch" "gtest gtest_main" -- \
          -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
        cmake --install "$build" >/dev/null
        ;;
      openal)
        # $<BUILD_LOCAL_INTERFACE:> needs CMake 3.26; for the static library built here (and
        # not installed through its export set) $<BUILD_INTERFACE:> means the same. The fmt
        # object library it names goes into libOpenAL32.a with the library's own objects.
        # Output through WASAPI, DirectSound or WinMM (whichever the system offers first), and the
        # loopback device of the offline mix; none of the other systems' backends, no wave-file
        # writer, EAX, embedded HRTF data, utilities or examples.
        sed -i 's/\$<BUILD_LOCAL_INTERFACE:/$<BUILD_INTERFACE:/' "$src/CMakeLists.txt"
        configure_and_build "$src" "$build" "$prefix" "$arch" OpenAL -- \
          -DLIBTYPE=STATIC -DALSOFT_INSTALL=OFF -DALSOFT_UTILS=OFF -DALSOFT_EXAMPLES=OFF \
          -DALSOFT_TESTS=OFF -DALSOFT_EAX=OFF -DALSOFT_EMBED_HRTF_DATA=OFF \
          -DALSOFT_UPDATE_BUILD_VERSION=OFF -DALSOFT_NO_CONFIG_UTIL=ON \
          -DALSOFT_REQUIRE_WASAPI=ON -DALSOFT_REQUIRE_DSOUND=ON -DALSOFT_REQUIRE_WINMM=ON \
          -DALSOFT_BACKEND_WAVE=OFF -DALSOFT_BACKEND_PIPEWIRE=OFF -DALSOFT_BACKEND_PULSEAUDIO=OFF \
          -DALSOFT_BACKEND_JACK=OFF -DALSOFT_BACKEND_PORTAUDIO=OFF -DALSOFT_BACKEND_OPENSL=OFF
        cp "$build/libOpenAL32.a" "$prefix/lib/"
        mkdir -p "$prefix/include/AL"
        cp "$src"/include/AL/*.h "$prefix/include/AL/"
        ;;
    esac
    echo "   $name $version: $((SECONDS - started)) s"
  done

  echo "$versions" >"$prefix/.complete"
  rm -rf "$final"
  mkdir -p "$(dirname "$final")"
  mv "$prefix" "$final"
  rm -rf "$work"
}

for arch in "${todo[@]}"; do
  [ -f "$(dir_for "$arch")/.complete" ] || build_arch "$arch"
done
