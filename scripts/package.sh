#!/usr/bin/env bash
# Builds the Debian package from scratch in build-package/ (Release, no tests
# or benchmark), checks it with lintian and leaves it as
# build-package/velkomenuview_<version>_<arch>.deb. Fails on any lintian
# error, on a package without the IDE module, and on a changelog whose latest
# entry is not the package's version. Works as root or via sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

# Beyond the build: dpkg-shlibdeps, file (which CPack uses to find the
# binaries) and lintian.
bash scripts/install-deps.sh dpkg-dev file lintian

dir=build-package
jobs=$(nproc 2>/dev/null || echo 2)
rm -rf "$dir"
# Debian's hardening flags, as a package built by dpkg-buildpackage gets
# them; without -g, since the package ships stripped binaries anyway.
# CMake reads no CPPFLAGS, so they join CXXFLAGS (_FORTIFY_SOURCE).
eval "$(DEB_CXXFLAGS_MAINT_STRIP=-g DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELKO_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build "$dir" -j "$jobs" --target velko-installables
(cd "$dir" && cpack -G DEB)

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$dir/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
deb=$dir/velkomenuview_${version}_${arch}.deb
[ -f "$deb" ] || { echo "package: $deb was not made" >&2; exit 1; }

# The IDE module is the package's main part: a tree that did not find the
# IDE's libraries must not pass for a complete package.
contents=$(dpkg-deb -c "$deb")
if ! grep -q "/qtcreator/plugins/libVelkoMenuView\.so$" <<<"$contents"; then
    echo "package: $deb lacks the IDE module (were the IDE's libraries found?)" >&2
    exit 1
fi
changelog_version=$(head -n 1 packaging/changelog | sed -n 's/^velkomenuview (\([^)]*\)).*/\1/p')
if [ "$changelog_version" != "$version" ]; then
    echo "package: packaging/changelog starts with $changelog_version, the package is $version" >&2
    exit 1
fi

echo "== $deb"
dpkg-deb -I "$deb"
echo "== lintian"
lintian --info --display-info --pedantic --fail-on error "$deb"
echo "package: $deb"
