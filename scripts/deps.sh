#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the main job need on a bare Debian machine, when any
# is missing, recommended ones included (apt-get runs with --no-install-recommends, so every package the
# build relies on is listed here by name). Then it configures a probe with the build's own find_package
# calls (cmake/probe) and, when one does not resolve, names the Debian package that provides it.
# Safe to run repeatedly: with everything there it only runs the probe (a second or so).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  # Qt: Charts needs OpenGL and OpenGLWidgets, Gui needs xkbcommon and the GL/EGL headers; qt6-base-dev
  # only recommends them.
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev libgl-dev libegl-dev libvulkan-dev
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
  zlib1g-dev libgtest-dev googletest libpq-dev
  postgresql
  fonts-liberation2 fonts-dejavu-core
  qpdf poppler-utils sqlite3 python3 python3-openpyxl
  # The Debian package: cpack's dpkg-shlibdeps (build-essential pulls it in today; named so it stays).
  dpkg-dev
  # The fuzz targets: clang's libFuzzer, whose runtime Debian only recommends.
  clang libclang-rt-dev
)

# The Debian package behind each CMake package or library the build looks for.
declare -A PROVIDER=(
  [Qt6]=qt6-base-dev [Qt6Core]=qt6-base-dev [Qt6Gui]=qt6-base-dev [Qt6Widgets]=qt6-base-dev
  [Qt6Sql]=qt6-base-dev [Qt6Xml]=qt6-base-dev [Qt6PrintSupport]=qt6-base-dev [Qt6Test]=qt6-base-dev
  [Qt6DBus]=qt6-base-dev [Qt6Concurrent]=qt6-base-dev
  [Qt6Charts]=qt6-charts-dev [Qt6OpenGL]=libqt6opengl6-dev [Qt6OpenGLWidgets]=libqt6opengl6-dev
  [XKB]=libxkbcommon-dev [OpenGL]=libgl-dev [EGL]=libegl-dev [WrapOpenGL]=libgl-dev
  [WrapVulkanHeaders]=libvulkan-dev [Vulkan]=libvulkan-dev
  [GTest]=libgtest-dev [Python3]=python3
  [ZLIB]=zlib1g-dev [PostgreSQL]=libpq-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Instalando paquetes: ${missing[*]}" >&2
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The probe: the same find_package calls as the build, configured in a scratch directory.
PROBE="$(mktemp -d /tmp/vnmrtgen-probe.XXXXXX)"
trap 'rm -rf "$PROBE"' EXIT
if ! cmake -S "$ROOT/cmake/probe" -B "$PROBE" >"$PROBE/log" 2>&1; then
  # Names CMake gives for what it could not find (its messages wrap lines, so they are joined first).
  names=$(tr -s '\n\t ' ' ' <"$PROBE/log" |
          grep -oE 'dependency [A-Za-z0-9_]+ could not be found|provided by "[A-Za-z0-9_]+"|Could NOT find [A-Za-z0-9_]+|package "[A-Za-z0-9_]+" is considered|Could not find [A-Z_]+ using|required Qt component "[A-Za-z0-9_]+"' |
          sed -E 's/^dependency ([^ ]+) .*/\1/; s/^provided by "(.*)"/\1/; s/^Could NOT find //; s/^package "(.*)" .*/\1/; s/^Could not find ([A-Z_]+) using/\1/; s/^required Qt component "(.*)"/Qt6\1/' |
          awk '!seen[$0]++' || true)
  echo "Faltan paquetes para compilar (configuración de prueba en cmake/probe):" >&2
  for n in $names; do
    if [ -n "${PROVIDER[$n]:-}" ]; then
      echo "  $n: instale el paquete de Debian ${PROVIDER[$n]}" >&2
    else
      echo "  $n: no se conoce el paquete de Debian que lo provee" >&2
    fi
  done
  [ -z "$names" ] && sed -n '1,40p' "$PROBE/log" >&2
  exit 1
fi
